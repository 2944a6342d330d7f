classdef Settings < handle
%SETTINGS A camera's settings (internal): one row of a table each.
%   A setting is checked, scaled to what the camera takes, written through
%   its toolbox function, and kept only once the camera accepted it, so
%   that reading it back gives what the camera holds ([] before it was
%   ever set through this object).

  properties (SetAccess = private)
    Values = struct()   % the accepted value of each setting
    Names = {}
    Area = [0 0 0 0]    % the effective area [x y width height], which bounds the ROI
  end

  properties (Access = private)
    Rows = struct()
  end

  methods
    function obj = Settings(exposureUnit)
    %SETTINGS exposureUnit: the camera's exposure-time units per second.
      known = {  % name, function, check, camera units per unit (0: passed as it is)
        'Gain',              'BRELK_6_SetGain',           'real',     0
        'Offset',            'BRELK_6_SetOffset',         'real',     0
        'ExposureTime',      'BRELK_6_SetExposeTime',     'positive', exposureUnit
        'Brightness',        'BRELK_6_SetLiveBrightness', 'real',     0
        'Contrast',          'BRELK_6_SetLiveContrast',   'real',     0
        'Gamma',             'BRELK_6_SetLiveGamma',      'positive', 0
        'Traffic',           'BRELK_6_SetTraffic',        'real',     0
        'DDR',               'BRELK_6_SetDDR',            'flag',     0
        'ROI',               'BRELK_6_SetROI',            'roi',      0
        'WhiteBalanceRed',   'BRELK_6_SetLiveWBR',        'real',     0
        'WhiteBalanceGreen', 'BRELK_6_SetLiveWBG',        'real',     0
        'WhiteBalanceBlue',  'BRELK_6_SetLiveWBB',        'real',     0
      };
      obj.Names = known(:, 1)';
      for k = 1:size(known, 1)
        obj.Values.(known{k, 1}) = [];
        obj.Rows.(known{k, 1}) = struct('Function', known{k, 2}, 'Check', known{k, 3}, 'Scale', known{k, 4}, ...
                                        'Plain', strcmp(known{k, 3}, 'real') && known{k, 4} == 0);
      end
    end

    function bound(obj, area)
      obj.Area = area;
    end

    function [value, asked, sent] = prepare(obj, checks, name, value, label)
    %PREPARE The value as it will be kept, the value asked for (before
    %   rounding to camera units), and the inputs of the setting's function;
    %   raises invalidValue, naming it label (default: the setting's name),
    %   before anything is sent.
      if nargin < 5
        label = name;
      end
      row = obj.Rows.(name);
      switch row.Check
        case 'flag'
          value = checks.flag(label, value);
          asked = value;
          sent = {double(value)};
        case 'roi'
          value = obj.roi(checks, value);
          asked = value;
          sent = num2cell(value);
        otherwise
          value = checks.number(label, value, row.Check);
          asked = value;
          sent = {value};
          if row.Scale ~= 0
            % Whole camera units: the camera exposes no fraction of one.
            units = round(value * row.Scale);
            if units < 1
              checks.raise('invalidValue', '%s must be at least one camera unit (%g s), not %g.', ...
                           label, 1 / row.Scale, value);
            end
            value = units / row.Scale;
            sent = {units};
          end
      end
    end

    function value = write(obj, conn, checks, name, value)
    %WRITE Sets the setting on the camera and keeps it; returns the value kept.
      row = obj.Rows.(name);
      % A plain double goes as it is, and most settings are given one.
      if row.Plain && isa(value, 'double') && isscalar(value) && isreal(value) && ~issparse(value) ...
          && value - value == 0
        conn.require(checks, row.Function, value);
      else
        [value, ~, sent] = obj.prepare(checks, name, value);
        conn.require(checks, row.Function, sent{:});
      end
      obj.Values.(name) = value;
    end

    function reapply(obj, conn, checks)
    %REAPPLY Every setting accepted so far, sent again (a camera opened anew).
      for k = 1:numel(obj.Names)
        value = obj.Values.(obj.Names{k});
        if ~isempty(value)
          obj.write(conn, checks, obj.Names{k}, value);
        end
      end
    end
  end

  methods (Access = private)
    % [x y width height]: whole pixels within the effective area, x and y
    % counted from its corner, as the camera takes them.
    function roi = roi(obj, checks, roi)
      area = obj.Area;
      ok = isnumeric(roi) && isreal(roi) && ~issparse(roi) && isvector(roi) && numel(roi) == 4;
      if ok
        roi = double(roi(:)');
        ok = all(isfinite(roi)) && all(roi == round(roi)) && all(roi(1:2) >= 0) && all(roi(3:4) >= 1) ...
             && roi(1) + roi(3) <= area(3) && roi(2) + roi(4) <= area(4);
      end
      if ~ok
        checks.raise('invalidValue', ...
                     'ROI must be [x y width height] in whole pixels within the %d x %d effective area.', ...
                     area(3), area(4));
      end
    end
  end
end

classdef string
% A stand-in for MATLAB's string class, for the suite in GNU Octave only,
% which has none: it is put on Octave's path by brelk_string and never on
% MATLAB's. It holds the texts of a string array and answers what the
% layer asks of a string: its class, isscalar, size, char, cellstr and
% ismissing.

  properties (Access = private)
    Texts = {}
  end

  methods
    function obj = string(texts)
      if ischar(texts)
        texts = {texts};
      end
      obj.Texts = texts;
    end

    function tf = isscalar(obj)
      tf = numel(obj.Texts) == 1;
    end

    function varargout = size(obj, varargin)
      [varargout{1:max(nargout, 1)}] = size(obj.Texts, varargin{:});
    end

    function text = char(obj)
      text = char(obj.Texts{:});
    end

    function texts = cellstr(obj)
      texts = obj.Texts;
    end

    function tf = ismissing(obj)
      tf = false(size(obj.Texts));
    end
  end
end

classdef Object < handle
%OBJECT What a brelk.Camera or brelk.FilterWheel is as a MATLAB object (internal).
%   Each object has a number of its own, Serial, so that isequal tells the
%   same object from another without reading the camera: Octave's handle
%   classes have no ==, and comparing properties would call the camera
%   for every property read from it. An object loaded from a file gets a
%   new number, since it is not the one that was saved.

  properties (Hidden, SetAccess = private)
    Serial = 0
  end

  methods
    function obj = Object()
      obj.Serial = serialNumber();
    end

    function tf = isequal(a, b, varargin)
    %ISEQUAL True for the same objects, without reading the camera.
      tf = isa(b, class(a)) && isequal(size(a), size(b)) ...
           && isequal(arrayfun(@(o) o.Serial, a), arrayfun(@(o) o.Serial, b)) ...
           && (isempty(varargin) || isequal(a, varargin{:}));
    end
  end

  methods (Static, Hidden)
    function obj = loadobj(obj)
      obj.Serial = serialNumber();
    end
  end

  methods (Access = protected)
    function text = sizeText(obj)
    %SIZETEXT The size of an array of objects, such as 1x2.
      text = sprintf('%dx', size(obj));
      text = text(1:end - 1);
    end
  end
end

function n = serialNumber()
  persistent last
  if isempty(last)
    last = 0;
  end
  last = last + 1;
  n = last;
end

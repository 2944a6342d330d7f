function raise(component, mnemonic, message, varargin)
%RAISE Throw the error brelk:<component>:<mnemonic> (internal).
%   raise(component, mnemonic, message, args...) throws an MException with
%   the identifier brelk:<component>:<mnemonic> and the message, formatted
%   with sprintf when args are given. Every error of brelk.Camera and
%   brelk.FilterWheel is thrown here, so that identifiers keep one form.
  if ~isempty(varargin)
    message = sprintf(message, varargin{:});
  end
  error(['brelk:' component ':' mnemonic], '%s', message);
end

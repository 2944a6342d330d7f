function [identifier, message] = brelk_error(code)
% [identifier, message] = brelk_error(code): runs the statement code in the
% caller's workspace and returns the identifier and message of the error it
% raised, or '' and '' when it raised none.
  identifier = '';
  message = '';
  try
    evalin('caller', [code ';']);
  catch err
    identifier = err.identifier;
    message = err.message;
  end
end

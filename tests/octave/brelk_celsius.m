function sign = brelk_celsius()
% sign = brelk_celsius(): the degree Celsius sign (U+2103) that ends a
% printed temperature, as the host shows it. The functions print it as
% its three UTF-8 bytes, which the host reads in its own character set:
% three chars in Octave, whatever that set makes of them in MATLAB.
  sign = native2unicode(uint8([226 132 131]));
end

' Roots of x^2 + b*x + c = 0, complex whenever they must be.
' A .vmb file has no line numbers: it is numbered 100, 200, ... when loaded.
restore *coefficients
for k = 1 to 3
  read b, c
  gosub *solve
next
end
*solve
  d = sqrt(b*b - 4*c)
  print "x^2 + ("; b; ")x + ("; c; ") = 0:", (-b + d) / 2, (-b - d) / 2
  return
*coefficients
data -3, 2
data 2, 5
data 0, 1

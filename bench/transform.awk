# The arithmetic of `vandrel transform NAME XT 1 ZD 30`, for comparison: lead records are copied,
# vertices moved 1 along x and turned 30 degrees about z.
BEGIN { r = 30 * 3.1415926535897 / 180; c = cos(r); s = sin(r) }
/newObject/ { print; lead = 1; next }
lead { print; lead = 0; next }
{ x = $1 + 1; print x * c - $2 * s, x * s + $2 * c, $3, $4 }

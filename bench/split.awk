# gawk -v dir=DESTDIR -v suffix=.NC -f split.awk TAPE: the split by program number as a text
# tool would do it, for comparison (program starts are lines beginning with O or : and digits).
{
    sub(/\r$/, "")
    gsub(/%/, "")
    if ($0 == "") next
}
/^[O:][0-9]/ {
    if (out != "") { printf "%%" > out; close(out) }
    out = sprintf("%s/O%04d%s", dir, substr($0, 2) + 0, suffix)
    printf "%%\r\n" > out
}
out != "" { printf "%s\r\n", $0 > out }
END { if (out != "") { printf "%%" > out; close(out) } }

#!/usr/bin/env python3
"""make_tape.py PATH [PROGRAMS] [BYTES]: writes a deterministic NC tape of PROGRAMS programs
(numbers 1..PROGRAMS) with about BYTES bytes in all, CR LF line ends, framed by "%" lines."""
import sys


def main():
    path = sys.argv[1]
    programs = int(sys.argv[2]) if len(sys.argv) > 2 else 20000
    total = int(sys.argv[3]) if len(sys.argv) > 3 else 200_000_000
    per_program = total // programs
    with open(path, "wb", buffering=1 << 20) as tape:
        tape.write(b"%\r\n")
        for number in range(1, programs + 1):
            lines = [b"O%04d\r\n" % number, b"(SAMPLE PART %d)\r\n" % number,
                     b"G90 G54 G00 X0 Y0\r\n"]
            size = sum(len(line) for line in lines)
            sequence = 1
            while size < per_program - 8:
                line = b"N%d G01 X%d.%03d Y-%d.%03d F1200\r\n" % (
                    sequence, number % 500, sequence % 1000, sequence % 300, number % 1000)
                lines.append(line)
                size += len(line)
                sequence += 1
            lines.append(b"M30\r\n")
            tape.write(b"".join(lines))
        tape.write(b"%\r\n")


if __name__ == "__main__":
    main()

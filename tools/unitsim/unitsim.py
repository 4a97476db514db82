#!/usr/bin/python3
"""Unit simulator: serves a folder as the unit's FTP area.

The folder's pub/ is the unit's "/pub/" (the USB memory plugged into the unit). Only user
"anonymous" with password "zvb" gets in. Names travel in code page 932 as they do with the
unit; on disk they are UTF-8. Options seed a demo store and inject faults, so that tests can
meet a refusing, cutting or silent unit. Run it with Debian's /usr/bin/python3 (pyftpdlib).
"""

import argparse
import logging
import os
import sys
import warnings

from pyftpdlib.authorizers import AuthenticationFailed, DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import (BufferedIteratorProducer, DTPHandler, FTPHandler,
                                ThrottledDTPHandler)
from pyftpdlib.ioloop import AsyncChat
from pyftpdlib.servers import FTPServer

USER = "anonymous"
PASSWORD = "zvb"
WIRE_ENCODING = "cp932"
CRLF = "\r\n"

SEED_FILES = {
    "PVN_RZK70": "",
    # The maintenance files as the unit leaves them: its name and version ("1." + "02" + "A"
    # reads 1.02A in the report), the settings it runs with, what its readers may send.
    "images/INFO.INI": CRLF.join([
        "NAME=RZK-70", "MAINVER=1.", "SUBVER=02", "REV=A", "MAC=00:11:22:33:44:55", ""]),
    "images/PVNRSIO.INI": CRLF.join([
        "BPS=1", "STOPBIT=2", "DOT=NC", "CODE=0", "OUTCHGO=7000", "OUTCHGO2=7009", "SAME=0",
        "INDOT=1", "OUTFILE=RZKOUT", "INFILE=RZKIN", "DECODE=-1", ""]),
    "images/interfaces": CRLF.join([
        "auto lo", "iface lo inet loopback", "auto eth0", "iface eth0 inet static",
        "address 192.168.0.102", "netmask 255.255.255.0", ""]),
    "images/RZK70.REQ": CRLF.join(["BNUMEX=1", "BNAMNE=0", "NNUMEX=1", "NNAMEX=1", ""]),
    "RzFilesIn/0001.fno": CRLF.join(["%", "O0001", "G00 X0", "M30", "%", ""]),
    "RzFilesIn/0002.fno": CRLF.join(["%", "O0002", "G01 X10. F100", "M30", "%", ""]),
    "RzFilesIn/0010.fno": CRLF.join(["%", "O0010", "M30", "%", ""]),
    "RzFilesIn/12ab.fno": CRLF.join(["%", "O1200", "M30", "%", ""]),
    "RZKIN": CRLF.join(["%", "O0001", "G00 X0", "M30", "O0002", "M30", "%", ""]),
}


def seed_store(root):
    """Lays out a prepared store in root/pub unless one is there already."""
    pub = os.path.join(root, "pub")
    if os.path.isdir(pub):
        return
    for name, text in SEED_FILES.items():
        path = os.path.join(pub, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as stream:
            stream.write(text.encode("ascii"))


class UnitAuthorizer(DummyAuthorizer):
    """DummyAuthorizer lets an anonymous user in with any password; the unit wants "zvb"."""

    def validate_authentication(self, username, password, handler):
        if username == USER and password != PASSWORD:
            raise AuthenticationFailed("Login incorrect.")
        super().validate_authentication(username, password, handler)


def to_wire(utf8_line):
    return utf8_line.decode("utf8", "replace").encode(WIRE_ENCODING, "replace")


# What stands in a LIST reply in place of a garbled entry: several words, so that it does not
# read as a bare name either, and no form of any server's listing.
GARBLED_LINE = b"%%%% garbled listing line %%%%\r\n"


class UnitFilesystem(AbstractedFS):
    """Listings carry code page 932 names, as the unit's do."""

    garbled = frozenset()  # names whose LIST line comes garbled, as a damaged unit sends it

    def format_list(self, *args, **kwargs):
        lines = super().format_list(*args, **kwargs)
        return (GARBLED_LINE if self.is_garbled(line) else to_wire(line) for line in lines)

    def is_garbled(self, utf8_line):
        # An entry's line ends with one blank, its name and the line end.
        return any(utf8_line.endswith((" %s\r\n" % name).encode("utf8")) for name in self.garbled)

    def format_mlsx(self, *args, **kwargs):
        return (to_wire(line) for line in super().format_mlsx(*args, **kwargs))


class CuttingDTPHandler(DTPHandler):
    """A data connection that breaks after cut_after bytes in either direction; the first
    whole_connections data connections of the server stay whole."""

    cut_after = None
    whole_connections = 0
    opened = 0

    def __init__(self, sock, cmd_channel):
        super().__init__(sock, cmd_channel)
        CuttingDTPHandler.opened += 1
        self.cuts = CuttingDTPHandler.opened > self.whole_connections

    def send(self, data):
        if not self.cuts:
            return super().send(data)
        sent = super().send(data[:self.cut_after - self.tot_bytes_sent])
        if self.tot_bytes_sent >= self.cut_after:
            self.cut()
        return sent

    def handle_read(self):
        super().handle_read()
        if self.cuts and self.tot_bytes_received >= self.cut_after:
            self.cut()

    handle_read_event = handle_read  # the base class binds its own handle_read here

    def cut(self):
        self._resp = ("426 Data connection cut by the unit simulator.", logging.warning)
        self.close()


class UnitHandler(FTPHandler):
    refused = frozenset()
    busy_files = frozenset()
    refused_once = []  # one entry a refusal still to come, across all sessions
    stalled = frozenset()
    dropped = frozenset()
    stall_login = False
    size_reply = None
    list_line = None
    command_log = None  # a file open for appending, one command a line
    auth_failed_timeout = 0.1
    banner = "RZK-70 unit simulator ready."

    # Commands and replies carry code page 932 names, as the unit's do.
    def decode(self, data):
        return data.decode(WIRE_ENCODING, self.unicode_errors)

    def push(self, text):
        AsyncChat.push(self, text.encode(WIRE_ENCODING, "replace"))

    def handle(self):
        if not self.stall_login:
            super().handle()

    # A unit whose SIZE is wrong says the same wrong size where a transfer opens, as servers
    # that announce "(N bytes)" there do.
    def ftp_SIZE(self, path):
        if self.size_reply is None:
            return super().ftp_SIZE(path)
        return self.respond("213 %d" % self.size_reply)

    # A file the unit holds open: the download is refused without saying the file is missing.
    def ftp_RETR(self, file):
        if os.path.basename(file) in self.busy_files:
            return self.respond("450 %s is busy in the unit simulator." % os.path.basename(file))
        return super().ftp_RETR(file)

    # A damaged listing: one line of list_line bytes that never ends.
    def ftp_LIST(self, path):
        if self.list_line is None:
            return super().ftp_LIST(path)
        chunk = 65536
        pieces = (b"x" * min(chunk, self.list_line - start)
                  for start in range(0, self.list_line, chunk))
        return self.push_dtp_data(BufferedIteratorProducer(pieces), isproducer=True, cmd="LIST")

    def respond(self, resp, *args, **kwargs):
        if self.size_reply is not None and resp[:4] in ("150 ", "125 "):
            resp = "%s (%d bytes)." % (resp.rstrip("."), self.size_reply)
        return super().respond(resp, *args, **kwargs)

    def process_command(self, cmd, *args, **kwargs):
        if self.command_log is not None:
            self.command_log.write(cmd + "\n")
            self.command_log.flush()
        if cmd in self.stalled:
            logging.info("stalling at %s", cmd)
        elif cmd in self.dropped:
            logging.info("dropping the control connection at %s", cmd)
            self.close()
        elif cmd in self.refused or cmd in UnitHandler.refused_once:
            if cmd in UnitHandler.refused_once:
                UnitHandler.refused_once.remove(cmd)
            self.respond("550 %s refused by the unit simulator." % cmd)
        else:
            super().process_command(cmd, *args, **kwargs)


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description="FTP server standing in for the RZK-70 unit.")
    parser.add_argument("--address", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=21, help="0 picks a free port")
    parser.add_argument("--root", required=True, help="folder whose pub/ is /pub/")
    parser.add_argument("--seed", action="store_true",
                        help="lay out a demo store when pub/ is missing")
    parser.add_argument("--refuse", action="append", default=[], metavar="CMD",
                        help="answer 550 to this command (repeatable)")
    parser.add_argument("--refuse-once", action="append", default=[], metavar="CMD",
                        help="answer 550 to this command once; given twice, the first two times")
    parser.add_argument("--busy-file", action="append", default=[], metavar="NAME",
                        help="answer 450 to a download of the file NAME (repeatable)")
    parser.add_argument("--stall", action="append", default=[], metavar="CMD",
                        help="never answer this command (repeatable)")
    parser.add_argument("--stall-login", action="store_true",
                        help="accept connections but never greet")
    parser.add_argument("--cut-control-after-command", action="append", default=[],
                        metavar="CMD", dest="drop",
                        help="close the control connection when this command arrives")
    parser.add_argument("--cut-data-after", type=int, metavar="N",
                        help="close every data connection after N bytes")
    parser.add_argument("--cut-data-skip", type=int, default=0, metavar="K",
                        help="leave the first K data connections whole")
    parser.add_argument("--size-reply", type=int, metavar="N",
                        help="answer every SIZE with N and announce N bytes for every transfer")
    parser.add_argument("--list-line", type=int, metavar="BYTES",
                        help="answer every LIST with one line of BYTES bytes and no line end")
    parser.add_argument("--garble-list-entry", action="append", default=[], metavar="NAME",
                        help="send a line of no listing form in place of NAME's LIST line")
    parser.add_argument("--rate", type=int, metavar="BYTES",
                        help="move at most BYTES a second on each data connection")
    parser.add_argument("--command-log", metavar="FILE",
                        help="append the name of every command that arrives to FILE")
    parser.add_argument("--verbose", action="store_true", help="log every command")
    return parser.parse_args(argv)


def main(argv):
    arguments = parse_arguments(argv)
    logging.basicConfig(level=logging.INFO if arguments.verbose else logging.WARNING,
                        format="unitsim: %(message)s")
    root = os.path.abspath(arguments.root)
    if arguments.seed:
        seed_store(root)
    os.makedirs(os.path.join(root, "pub"), exist_ok=True)

    authorizer = UnitAuthorizer()
    with warnings.catch_warnings():
        # The unit's anonymous user writes: that is its purpose, not a mistake.
        warnings.simplefilter("ignore", RuntimeWarning)
        authorizer.add_anonymous(root, perm="elradfmwMT")

    UnitHandler.authorizer = authorizer
    UnitHandler.abstracted_fs = UnitFilesystem
    UnitFilesystem.garbled = frozenset(arguments.garble_list_entry)
    UnitHandler.refused = frozenset(command.upper() for command in arguments.refuse)
    UnitHandler.refused_once = [command.upper() for command in arguments.refuse_once]
    UnitHandler.busy_files = frozenset(arguments.busy_file)
    UnitHandler.stalled = frozenset(command.upper() for command in arguments.stall)
    UnitHandler.dropped = frozenset(command.upper() for command in arguments.drop)
    UnitHandler.stall_login = arguments.stall_login
    UnitHandler.size_reply = arguments.size_reply
    UnitHandler.list_line = arguments.list_line
    if arguments.command_log is not None:
        UnitHandler.command_log = open(arguments.command_log, "a", encoding="ascii")
    if arguments.cut_data_after is not None:
        CuttingDTPHandler.cut_after = arguments.cut_data_after
        CuttingDTPHandler.whole_connections = arguments.cut_data_skip
        UnitHandler.dtp_handler = CuttingDTPHandler
        UnitHandler.use_sendfile = False
    if arguments.rate is not None:
        if arguments.cut_data_after is not None:
            sys.exit("unitsim: --rate and --cut-data-after do not go together")
        # A unit whose link or memory is slower than the PC, so that the PC waits on it; at a
        # few bytes a second, one that never stops and never gets on.
        ThrottledDTPHandler.read_limit = arguments.rate
        ThrottledDTPHandler.write_limit = arguments.rate
        UnitHandler.dtp_handler = ThrottledDTPHandler
        UnitHandler.use_sendfile = False

    server = FTPServer((arguments.address, arguments.port), UnitHandler)
    address, port = server.socket.getsockname()[:2]
    print("unitsim listening on %s:%d" % (address, port), flush=True)
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    main(sys.argv[1:])

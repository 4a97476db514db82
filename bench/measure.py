#!/usr/bin/env python3
"""Runs every speed measure of RZKSET beside its anchor and prints one table of ratios.

Called by bench/run.sh, which builds the tools first. Each measure runs the program's own code
(bench_tool, split_tape) and its anchor alternately in ROUNDS rounds, the order swapped every
round, so that both meet the same machine; a ratio is taken per round, and the table gives the
median and the spread (lowest to highest) of those ratios.
"""
import json
import os
import resource
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TOOLS = sys.argv[1]
ROUNDS = int(os.environ.get("ROUNDS", "7"))
DISK = os.environ.get("DISK_FOLDER", "/var/tmp/rzkset-bench")
TMPFS = os.environ.get("TMPFS_FOLDER", "/dev/shm/rzkset-bench")
USER = ["-u", "anonymous:zvb"]


def Run(command):
    """Wall and CPU seconds of one command; it must succeed."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return wall, cpu


def FreePort():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class UnitSimulator:
    def __init__(self, root, options=()):
        self.process = subprocess.Popen(
            ["/usr/bin/python3", os.path.join(REPO, "tools/unitsim/unitsim.py"), "--port", "0",
             "--root", root] + list(options), stdout=subprocess.PIPE, text=True)
        line = self.process.stdout.readline()
        self.port = int(line.rsplit(":", 1)[1])
        self.pub = os.path.join(root, "pub")

    def Stop(self):
        self.process.terminate()
        self.process.wait()


class Fleet:
    """Unit simulators on 127.0.0.2, 127.0.0.3, ... all on one port, as the units of a shop
    stand at their own addresses on port 21; the first `stalled` of them never greet."""

    def __init__(self, root, count, stalled=0, rate=None):
        self.port = FreePort()
        self.hosts = ["127.0.0.%d" % (2 + number) for number in range(count)]
        self.processes = []
        for number, host in enumerate(self.hosts):
            options = ["--stall-login"] if number < stalled else []
            options += ["--rate", str(rate)] if rate else []
            process = subprocess.Popen(
                ["/usr/bin/python3", os.path.join(REPO, "tools/unitsim/unitsim.py"), "--seed",
                 "--address", host, "--port", str(self.port), "--root",
                 os.path.join(root, host)] + options, stdout=subprocess.PIPE, text=True)
            process.stdout.readline()
            self.processes.append(process)

    def Stop(self):
        for process in self.processes:
            process.terminate()
            process.wait()


def MeasureFleet(work):
    """The fleet view: 20 units of which 5 stall at login, and 1 MB sent to 10 units."""
    tool = os.path.join(TOOLS, "fleet_tool")
    timeout = 3
    root = tempfile.mkdtemp(dir=TMPFS)
    fleet = Fleet(root, 20, stalled=5)
    try:
        status = lambda how: [tool, "status", how, str(timeout), str(fleet.port)] + fleet.hosts
        results = SelfTimedRounds(status("at-once"), status("one-by-one"))
        Row("status of 20 units, 5 stalled", "time-out",
            [o / timeout for o, _ in results], 1.3, True)
        Row("status of 20 units, 5 stalled", "1 by 1", [o / a for o, a in results], 0.3, True)
    finally:
        fleet.Stop()
        shutil.rmtree(root, ignore_errors=True)

    program = os.path.join(work, "program.nc")
    with open(program, "wb") as data:
        data.write(b"%\r\nO1\r\n" + b"G01 X1.0 Y2.0\r\n" * 69900 + b"M30\r\n%")
    # On loopback the simulators and the program share the PC's cores, and each send is CPU
    # work of the simulator; a unit of its own moves the file at the pace of its link.
    for label, rate in (("loopback", None), ("500 KB/s each", 500000)):
        root = tempfile.mkdtemp(dir=TMPFS)
        fleet = Fleet(root, 10, rate=rate)
        try:
            send = lambda how: [tool, "send", how, str(fleet.port), program] + fleet.hosts
            results = SelfTimedRounds(send("at-once"), send("one-by-one"))
            Row("1 MB program to 10 units, " + label, "1 by 1", [o / a for o, a in results], 0.5,
                True)
        finally:
            fleet.Stop()
            shutil.rmtree(root, ignore_errors=True)


class Vsftpd:
    """vsftpd as the tests start it: anonymous user locked into its folder, /pub/ writable."""

    def __init__(self, root):
        os.makedirs(os.path.join(root, "config/empty"), exist_ok=True)
        self.pub = os.path.join(root, "pub")
        os.makedirs(self.pub, exist_ok=True)
        os.chmod(root, 0o755)
        os.chmod(self.pub, 0o777)
        config = os.path.join(root, "config")
        with open(os.path.join(config, "passwords"), "w") as passwords:
            passwords.write("zvb\n")
        self.port = FreePort()
        with open(os.path.join(config, "vsftpd.conf"), "w") as conf:
            conf.write(
                "listen=YES\nlisten_address=127.0.0.1\nlisten_port=%d\nlisten_ipv6=NO\n"
                "background=NO\nanonymous_enable=YES\nlocal_enable=NO\nanon_root=%s\n"
                "write_enable=YES\nanon_upload_enable=YES\nanon_mkdir_write_enable=YES\n"
                "anon_other_write_enable=YES\nanon_umask=022\nsecure_email_list_enable=YES\n"
                "email_password_file=%s/passwords\npasv_enable=YES\nport_enable=YES\n"
                "connect_from_port_20=NO\nseccomp_sandbox=NO\nsecure_chroot_dir=%s/empty\n"
                "xferlog_enable=NO\ndirmessage_enable=NO\n" % (self.port, root, config, config))
        self.process = subprocess.Popen(["/usr/sbin/vsftpd", os.path.join(config, "vsftpd.conf")])
        for _ in range(100):
            try:
                with socket.create_connection(("127.0.0.1", self.port), timeout=1) as greeting:
                    if greeting.recv(3) == b"220":
                        return
            except OSError:
                time.sleep(0.05)
        raise RuntimeError("vsftpd did not answer")

    def Stop(self):
        self.process.terminate()
        self.process.wait()


def Rounds(ours, anchor, prepare=lambda: None):
    """Per round, (our wall, anchor wall, our CPU, anchor CPU), the order swapped each round."""
    results = []
    for number in range(ROUNDS):
        times = {}
        for name in (("ours", "anchor") if number % 2 == 0 else ("anchor", "ours")):
            prepare()
            times[name] = Run((ours if name == "ours" else anchor)())
        results.append((times["ours"][0], times["anchor"][0], times["ours"][1],
                        times["anchor"][1]))
    return results


def FastestAnchorRounds(ours, anchors, prepare=lambda: None):
    """As Rounds, the anchor's time being that of the fastest of several anchors in the round:
    a floor that can be reached in more than one way is the fastest of them on that machine."""
    results = []
    for number in range(ROUNDS):
        names = ["ours"] + list(range(len(anchors)))
        shift = number % len(names)
        times = {}
        for name in names[shift:] + names[:shift]:
            prepare()
            times[name] = Run(ours() if name == "ours" else anchors[name]())
        fastest = min(range(len(anchors)), key=lambda index: times[index][0])
        results.append((times["ours"][0], times[fastest][0], times["ours"][1],
                        times[fastest][1]))
    return results


def SelfTimedRounds(ours, anchor):
    """Per round, the seconds each command reports of itself (start-up left out)."""
    results = []
    for number in range(ROUNDS):
        times = {}
        for name in (("ours", "anchor") if number % 2 == 0 else ("anchor", "ours")):
            output = subprocess.run(ours if name == "ours" else anchor, check=True,
                                    capture_output=True, text=True,
                                    env=dict(os.environ, QT_QPA_PLATFORM="offscreen")).stdout
            times[name] = float(output.split()[-1])
        results.append((times["ours"], times["anchor"]))
    return results


ROWS = []


def Row(measure, anchor, ratios, goal, bAtMost):
    median = statistics.median(ratios)
    met = median <= goal if bAtMost else median >= goal
    ROWS.append((measure, anchor, median, min(ratios), max(ratios),
                 ("<= " if bAtMost else ">= ") + "%.2f" % goal, "yes" if met else "no"))


def MeasureSplit(folder, label, goal, bKeepOutput):
    os.makedirs(folder, exist_ok=True)
    tape = os.path.join(folder, "tape.nc")
    if not os.path.exists(tape):
        subprocess.run(["/usr/bin/python3", os.path.join(REPO, "bench/make_tape.py"), tape,
                        "20000", "200000000"], check=True)
    counter = [0]

    def NewFolder():
        # A new folder for every run: on ext4, deleting 20,000 files just before a run makes the
        # file system measure its own clean-up, so the runs' files stay until the end. tmpfs
        # frees them at once, and holding gigabytes of them would press the memory instead.
        if not bKeepOutput and counter[0] > 0:
            shutil.rmtree(os.path.join(folder, "out%d" % counter[0]))
        counter[0] += 1
        path = os.path.join(folder, "out%d" % counter[0])
        os.mkdir(path)
        subprocess.run(["sync"])
        return path

    out = {}

    def Prepare():
        out["path"] = NewFolder()

    # The floor creates each file under its name, or makes it unnamed and links it in as the
    # split does; whichever is faster on the file system that round.
    floor = lambda way: lambda: [os.path.join(TOOLS, "bench_tool"), "split-floor", tape,
                                 out["path"], ".NC", way]
    results = FastestAnchorRounds(
        lambda: [os.path.join(TOOLS, "split_tape"), tape, out["path"], ".NC"],
        [floor("create"), floor("link")], Prepare)
    Row("split 200 MB, 20,000 programs, " + label, "floor", [o / a for o, a, _, _ in results],
        goal, True)
    for number in range(1, counter[0] + 1):
        shutil.rmtree(os.path.join(folder, "out%d" % number), ignore_errors=True)


def MeasureTransfers(server, name, work):
    url = "ftp://127.0.0.1:%d/pub/" % server.port
    tool = os.path.join(TOOLS, "bench_tool")
    big = os.path.join(work, "big.bin")
    port = str(server.port)

    results = Rounds(lambda: [tool, "put", "127.0.0.1", port, big, "OURS.BIN"],
                     lambda: ["curl", "-s", "-S"] + USER + ["-T", big, url + "CURL.BIN"])
    Row("100 MB upload, " + name, "curl", [a / o for o, a, _, _ in results], 1.0, False)
    shutil.copy(big, os.path.join(server.pub, "BIG.BIN"))
    os.chmod(os.path.join(server.pub, "BIG.BIN"), 0o666)
    received = os.path.join(DISK, "received.bin")
    results = Rounds(lambda: [tool, "get", "127.0.0.1", port, "BIG.BIN", received],
                     lambda: ["curl", "-s", "-S"] + USER + ["-o", received, url + "BIG.BIN"])
    Row("100 MB download to disk, " + name, "curl", [a / o for o, a, _, _ in results], 1.0, False)

    programs = os.path.join(work, "programs")
    for folder in ("RzFilesOut", "lftp"):
        os.makedirs(os.path.join(server.pub, folder), exist_ok=True)
        os.chmod(os.path.join(server.pub, folder), 0o777)
    if shutil.which("lftp"):
        results = Rounds(
            lambda: [tool, "register", "127.0.0.1", port, programs],
            lambda: ["lftp", "-c", "open -u anonymous,zvb -p %s 127.0.0.1; mput -O /pub/lftp %s/*"
                     % (port, programs)])
        Row("1,000 files of 5 KB, " + name, "lftp mput", [o / a for o, a, _, _ in results], 0.8,
            True)


def MeasureListing(server, name):
    url = "ftp://127.0.0.1:%d/pub/" % server.port
    tool = os.path.join(TOOLS, "bench_tool")
    port = str(server.port)
    listing = os.path.join(server.pub, "listing")
    if not os.path.isdir(listing):
        os.makedirs(listing)
        for number in range(20000):
            open(os.path.join(listing, "P%05d.NC" % number), "w").close()
    results = Rounds(lambda: [tool, "list", "127.0.0.1", port, "/pub/listing/"],
                     lambda: ["curl", "-s", "-S"] + USER + ["-o", "/dev/null", url + "listing/"])
    Row("listing 20,000 files, " + name + ", wall", "curl LIST",
        [o / a for o, a, _, _ in results], 1.1, True)
    Row("listing 20,000 files, " + name + ", CPU", "curl LIST",
        [oc / max(ac, 1e-6) for _, _, oc, ac in results], 1.5, True)


BOUNDS = []


def Bound(measure, command, seconds_goal, megabytes_goal):
    """The seconds and the peak memory that bench_tool reports for refusing what exceeds a
    bound (the median of the rounds), against their goals. bench_tool reads its peak from its
    own VmHWM: getrusage would give this process's peak to the child, which inherits it."""
    reports = [subprocess.run(command, check=True, capture_output=True, text=True).stdout.split()
               for _ in range(ROUNDS)]
    seconds = statistics.median(float(report[0]) for report in reports)
    megabytes = statistics.median(int(report[1]) for report in reports) / 1024
    BOUNDS.append((measure, seconds, seconds_goal, megabytes, megabytes_goal,
                   "yes" if seconds <= seconds_goal and megabytes <= megabytes_goal else "no"))


def WriteRepeated(path, head, piece, size):
    """A large file written a megabyte at a time: a process measuring its peak memory inherits
    that of the process that started it, so this one stays small."""
    block = piece * (1024 * 1024 // len(piece))
    with open(path, "wb") as large:
        large.write(head)
        for _ in range(size // len(block)):
            large.write(block)


def MeasureBounds(work):
    """What the unit sends beyond the bounds of a listing line, a maintenance file and a list
    file is refused as damaged, in little time and memory."""
    tool = os.path.join(TOOLS, "bench_tool")
    root = tempfile.mkdtemp(dir=TMPFS)
    server = UnitSimulator(root, ["--seed", "--list-line", str(300 * 1000 * 1000)])
    try:
        Bound("listing: one line of 300 MB without an end", [tool, "bound-list", "127.0.0.1",
              str(server.port), "/pub/"], 2.0, 64)
        WriteRepeated(os.path.join(server.pub, "images", "interfaces"), b"",
                      b"address 192.168.0.102\r\n", 100 * 1000 * 1000)
        staging = os.path.join(work, "staging")
        os.makedirs(staging, exist_ok=True)
        Bound("maintenance report: 100 MB interfaces", [tool, "bound-report", "127.0.0.1",
              str(server.port), staging + "/"], 5.0, 64)
    finally:
        server.Stop()
        shutil.rmtree(root, ignore_errors=True)
    listfile = os.path.join(work, "FileList.fno")
    WriteRepeated(listfile, b"#ListHead Section Start\r\nPRNTITLE=", b"X", 300 * 1000 * 1000)
    Bound("list file of 300 MB", [tool, "bound-list-file", listfile], 1.0, 64)
    os.remove(listfile)


def MeasureJournal(server, name, work):
    """The journal and the history beside the same store calls without them."""
    tool = os.path.join(TOOLS, "bench_tool")
    port = str(server.port)
    folder = os.path.join(server.pub, "RzFilesOut")
    os.makedirs(folder, exist_ok=True)
    os.chmod(folder, 0o777)
    data = os.path.join(work, "data")

    def Empty(path):
        shutil.rmtree(path, ignore_errors=True)
        os.makedirs(path)

    def EmptyStore():
        for entry in os.listdir(folder):
            os.remove(os.path.join(folder, entry))

    def FreshRegistration():
        EmptyStore()
        Empty(data)

    programs = os.path.join(work, "programs")
    results = Rounds(lambda: [tool, "register-journal", "127.0.0.1", port, programs, data],
                     lambda: [tool, "register", "127.0.0.1", port, programs], FreshRegistration)
    Row("1,000 x 5 KB registered, journal, " + name, "none", [o / a for o, a, _, _ in results],
        1.05, True)

    distinct = os.path.join(work, "distinct")

    def FillStore():
        for number, program in enumerate(sorted(os.listdir(distinct))):
            target = os.path.join(folder, "%04d.fno" % (number + 1))
            shutil.copyfile(os.path.join(distinct, program), target)
            os.chmod(target, 0o666)

    def FillStoreAndEmptyHistory():
        FillStore()
        Empty(data)

    results = Rounds(lambda: [tool, "delete-all", "127.0.0.1", port, data, "on"],
                     lambda: [tool, "delete-all", "127.0.0.1", port, data, "off"],
                     FillStoreAndEmptyHistory)
    Row("delete all 1,000 x 5 KB, net, " + name, "net off", [o / a for o, a, _, _ in results],
        2.0, True)
    # What one fetch a file costs by itself, without the journal and the history: the part of
    # the ratio above that the server and the connection set.
    results = Rounds(lambda: [tool, "fetch-delete-all", "127.0.0.1", port],
                     lambda: [tool, "delete-all", "127.0.0.1", port, data, "off"], FillStore)
    Row("  fetch + delete alone (floor), " + name, "net off", [o / a for o, a, _, _ in results],
        2.0, True)
    results = Rounds(lambda: [tool, "delete-all", "127.0.0.1", port, data, "on"],
                     lambda: [tool, "fetch-delete-all", "127.0.0.1", port],
                     FillStoreAndEmptyHistory)
    Row("  net on over that floor, " + name, "floor", [o / a for o, a, _, _ in results], 1.3,
        True)
    # The same bytes again, registered by the program itself (its journal and its listing tell
    # what it put) after a delete all that kept them.
    def RegisterThroughTheProgram():
        EmptyStore()
        subprocess.run([tool, "register-journal", "127.0.0.1", port, distinct, data], check=True)

    RegisterThroughTheProgram()
    subprocess.run([tool, "delete-all", "127.0.0.1", port, data, "on"], check=True)
    results = Rounds(lambda: [tool, "delete-all", "127.0.0.1", port, data, "on"],
                     lambda: [tool, "delete-all", "127.0.0.1", port, data, "off"],
                     RegisterThroughTheProgram)
    Row("  again, bytes kept already, " + name, "net off", [o / a for o, a, _, _ in results], 1.2,
        True)
    EmptyStore()


def MeasureJournalWindow(work):
    """The window over 100,000 lines: seconds to open, longest filtering of a typed key."""
    opened, keys = [], []
    os.makedirs(os.path.join(work, "window"), exist_ok=True)
    for _ in range(ROUNDS):
        output = subprocess.run([os.path.join(TOOLS, "journal_window"), work + "/window/",
                                 "100000"], check=True, capture_output=True, text=True,
                                env=dict(os.environ, QT_QPA_PLATFORM="offscreen")).stdout.split()
        opened.append(float(output[3]))
        keys.append(float(output[5]))
    Row("journal window, 100,000 lines, open (s)", "-", opened, 0.3, True)
    Row("  filtering one typed key (s)", "-", keys, 0.1, True)


def MeasureHash(work):
    """SHA-256 of 100 MB as the journal takes it (the file read whole, then hashed) beside
    openssl's own command on the same file."""
    big = os.path.join(work, "big.bin")
    results = Rounds(lambda: [os.path.join(TOOLS, "bench_tool"), "sha256", big],
                     lambda: ["openssl", "dgst", "-sha256", big])
    Row("SHA-256 of 100 MB", "openssl", [o / a for o, a, _, _ in results], 1.1, True)


# ONLY=listing,bounds (any of these groups, separated by commas) runs those measures alone.
GROUPS = ("split", "transfers", "listing", "journal", "printing", "bounds", "fleet", "saving", "hash")
ONLY = set(filter(None, os.environ.get("ONLY", "").split(",")))


def Wanted(group):
    return not ONLY or group in ONLY


def main():
    if not ONLY <= set(GROUPS):
        sys.exit("ONLY takes these groups: " + ", ".join(GROUPS))
    os.makedirs(DISK, exist_ok=True)
    work = tempfile.mkdtemp(dir=DISK)
    big = os.path.join(work, "big.bin")
    if Wanted("transfers") or Wanted("hash"):
        with open(big, "wb") as data:
            for _ in range(100):
                data.write(os.urandom(1024 * 1024))
    programs = os.path.join(work, "programs")
    os.makedirs(programs)
    for number in range(1000):
        with open(os.path.join(programs, "P%04d.NC" % number), "wb") as program:
            program.write(b"%\r\nO1\r\n" + b"G01 X1.0 Y2.0\r\n" * 340 + b"M30\r\n%")
    distinct = os.path.join(work, "distinct")
    os.makedirs(distinct)
    for number in range(1000):
        with open(os.path.join(distinct, "P%04d.NC" % number), "wb") as program:
            program.write(b"%%\r\nO%04d\r\n" % number + b"G01 X1.0 Y2.0\r\n" * 340 +
                          b"M30\r\n%")
    if Wanted("split"):
        MeasureSplit(TMPFS, "tmpfs", 1.15, False)
        MeasureSplit(os.path.join(DISK, "split"), "disk", 1.3, True)

    # The servers keep their files on tmpfs: the unit's store is a USB memory, and an ext4 folder
    # would add the server's own delayed block allocation, which a rename over a 100 MB file
    # sets off (30 to 60 ms) and a direct overwrite puts off until later.
    os.makedirs(TMPFS, exist_ok=True)
    servers = [("unit simulator", UnitSimulator, tempfile.mkdtemp(dir=TMPFS))]
    if os.geteuid() == 0 and os.access("/usr/sbin/vsftpd", os.X_OK):
        servers.append(("vsftpd", Vsftpd, tempfile.mkdtemp(dir=TMPFS)))
    for name, kind, root in servers:
        if not (Wanted("transfers") or Wanted("listing") or Wanted("journal")):
            break
        os.makedirs(os.path.join(root, "pub"), exist_ok=True)
        server = kind(root)
        try:
            if Wanted("transfers"):
                MeasureTransfers(server, name, work)
            if Wanted("listing"):
                MeasureListing(server, name)
            if Wanted("journal"):
                MeasureJournal(server, name, work)
        finally:
            server.Stop()
            shutil.rmtree(root, ignore_errors=True)

    if Wanted("journal"):
        MeasureJournalWindow(work)
    if Wanted("hash"):
        MeasureHash(work)
    if Wanted("printing"):
        printer = os.path.join(TOOLS, "print_sheet")
        ours_pdf, floor_pdf = os.path.join(work, "ours.pdf"), os.path.join(work, "floor.pdf")
        results = SelfTimedRounds([printer, ours_pdf, "9999"],
                                  [printer, floor_pdf, "9999", "replay"])
        Row("printing 9,999 entries (667 pages) to PDF", "replay", [o / a for o, a in results],
            1.05, True)
        Row("  size of that PDF", "replay",
            [os.path.getsize(ours_pdf) / os.path.getsize(floor_pdf)], 1.0, True)

    if Wanted("bounds"):
        MeasureBounds(work)
    if Wanted("fleet"):
        MeasureFleet(work)

    if Wanted("saving"):
        saved = os.path.join(work, "FileList.fno")
        results = Rounds(lambda: [os.path.join(TOOLS, "bench_tool"), "save-list", saved, "9999"],
                         lambda: [os.path.join(TOOLS, "bench_tool"), "save-floor", saved + "2",
                                  "9999"])
        Row("saving a 9,999-entry FileList.fno", "floor", [o / a for o, a, _, _ in results], 1.3,
            True)
    PrintTable(work)


def PrintTable(work):
    shutil.rmtree(work, ignore_errors=True)
    print("\n%d rounds; ratios are ours : anchor in time, for transfers anchor : ours in time "
          "(throughput)." % ROUNDS)
    print("%-44s %-10s %7s %15s %9s %4s" % ("measure", "anchor", "median", "spread", "goal", "met"))
    for measure, anchor, median, low, high, goal, met in ROWS:
        print("%-44s %-10s %7.2f %7.2f - %5.2f %9s %4s" % (measure, anchor, median, low, high,
                                                           goal, met))
    print("\nBounds: what exceeds them is refused as damaged (median of %d rounds)." % ROUNDS)
    print("%-44s %9s %7s %10s %7s %4s" % ("measure", "seconds", "goal", "peak MB", "goal", "met"))
    for measure, seconds, seconds_goal, megabytes, megabytes_goal, met in BOUNDS:
        print("%-44s %9.2f %7s %10.1f %7s %4s" % (measure, seconds, "<= %g" % seconds_goal,
                                                  megabytes, "<= %g" % megabytes_goal, met))
    with open(os.path.join(DISK, "results.json"), "w") as results_file:
        json.dump(ROWS, results_file, indent=1, ensure_ascii=False)
    with open(os.path.join(DISK, "bounds.json"), "w") as bounds_file:
        json.dump(BOUNDS, bounds_file, indent=1, ensure_ascii=False)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Renames on network shares, on this machine alone.

Serves a folder over sshfs (an OpenSSH server, hard links through its
hardlink@openssh.com extension) and over SMB (Samba, read through smbnetfs,
a FUSE client, where the kernel has no cifs), each behind a relay of this
script's own that holds every chunk DELAY ms on its way in each direction,
since the kernel here has no netem. Every address is a loopback one.

On each share it times, on FILES files named file_a_NNNNNN.txt, replacing
"a" by "b" in every name:
  - the safe loop: renameat2 with RENAME_NOREPLACE tried once, then the way
    the share offers, remembered (a hard link and an unlink; else a check
    that the name is free and a rename): the floor of a safe renamer;
  - the unsafe loop: a plain rename, which replaces what has the name;
  - perl rename, util-linux rename and mmv, where installed;
  - Fennimo's command line.
Each program's requests per file are counted too, as the chunks the relay
passes to the server. Each file is checked after each run (its new name,
its content), rounds are medians (each round starting at another program),
and everything started is stopped and removed at the end.

  sudo bench/bench_shares.py [--files 2000] [--rounds 3] [--delay-ms 1]
                             [--fennimo build/app/fennimo] [--shares sshfs,smb]

Run as root: it installs its packages, starts its own sshd and smbd on
127.0.0.1 and mounts FUSE file systems. Not a test.
"""

import argparse
import asyncio
import ctypes
import errno
import os
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import time

PACKAGES = ["openssh-server", "openssh-client", "sshfs", "samba", "smbnetfs", "rename", "mmv"]
SSHD_PORT, SSH_RELAY = 2201, ("127.0.0.2", 2202)
SMBD_PORT, SMB_RELAY = 4450, ("127.0.0.3", 445)
PASSWORD = "fennimo-bench"


# ---- The relay: a process of its own, started by this script with --relay.

async def relay_main(listen, target, delay, counts):
    # The chunks the client has sent so far, written to `counts` on SIGUSR1:
    # with TCP_NODELAY each is a request (or a compound of them) that waits
    # for its answer, the round trips a program costs on the share.
    sent = [0]
    signal.signal(signal.SIGUSR1, lambda *_: open(counts, "w").write(str(sent[0])))

    async def pipe(reader, writer, counted):
        queue = asyncio.Queue()

        async def send():
            while True:
                due, data = await queue.get()
                if data is None:
                    break
                wait = due - loop.time()
                if wait > 0:
                    await asyncio.sleep(wait)
                writer.write(data)
                await writer.drain()
            writer.close()

        sender = asyncio.ensure_future(send())
        try:
            while True:
                data = await reader.read(65536)
                if not data:
                    break
                sent[0] += counted
                queue.put_nowait((loop.time() + delay, data))
        except ConnectionError:
            pass
        queue.put_nowait((0, None))
        await sender

    async def accepted(client_reader, client_writer):
        server_reader, server_writer = await asyncio.open_connection(*target)
        for w in (client_writer, server_writer):
            w.get_extra_info("socket").setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        await asyncio.gather(pipe(client_reader, server_writer, 1), pipe(server_reader, client_writer, 0),
                             return_exceptions=True)

    loop = asyncio.get_running_loop()
    server = await asyncio.start_server(accepted, *listen)
    async with server:
        await server.serve_forever()


# ---- What the kernel offers.

def kernel_lacks():
    with open("/proc/filesystems") as f:
        systems = {line.split()[-1] for line in f if line.strip()}
    release = os.uname().release
    lacks = [name for name in ("cifs", "smb3", "nfs", "nfs4") if name not in systems]
    modules = f"/lib/modules/{release}"
    have_netem = os.path.isdir(modules) and any("sch_netem" in f for _, _, files in os.walk(modules) for f in files)
    if not have_netem:
        lacks.append("netem (no sch_netem module for " + release + ")")
    if "fuse" not in systems or not os.path.exists("/dev/fuse"):
        lacks.append("fuse")
    return lacks


# ---- The loops, timed on the mounted folder.

libc = ctypes.CDLL(None, use_errno=True)
RENAME_NOREPLACE = 1
NOT_OFFERED = {errno.EINVAL, errno.ENOSYS, errno.ENOTSUP, errno.EOPNOTSUPP}


def renameat2(fd, old, new):
    if libc.renameat2(fd, old.encode(), fd, new.encode(), RENAME_NOREPLACE) == 0:
        return 0
    return ctypes.get_errno()


def safe_loop(folder):
    fd = os.open(folder, os.O_RDONLY | os.O_DIRECTORY)
    way = "atomic"
    try:
        for name in os.listdir(fd):
            new = name.replace("a", "b", 1)
            if way == "atomic":
                error = renameat2(fd, name, new)
                if error not in NOT_OFFERED:
                    continue
                way = "link"
            if way == "link":
                try:
                    os.link(name, new, src_dir_fd=fd, dst_dir_fd=fd, follow_symlinks=False)
                    os.unlink(name, dir_fd=fd)
                    continue
                except OSError as e:
                    if e.errno not in NOT_OFFERED | {errno.EPERM}:
                        continue
                    way = "plain"
            try:
                os.stat(new, dir_fd=fd, follow_symlinks=False)
            except FileNotFoundError:
                os.rename(name, new, src_dir_fd=fd, dst_dir_fd=fd)
    finally:
        os.close(fd)
    return way


def unsafe_loop(folder):
    fd = os.open(folder, os.O_RDONLY | os.O_DIRECTORY)
    try:
        for name in os.listdir(fd):
            os.rename(name, name.replace("a", "b", 1), src_dir_fd=fd, dst_dir_fd=fd)
    finally:
        os.close(fd)


def run(command, cwd, stdin=None, env=None):
    done = subprocess.run(command, cwd=cwd, input=stdin, env=env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE)
    if done.returncode != 0:
        raise RuntimeError(f"{command[0]} failed: {done.stderr.decode(errors='replace')[:400]}")


def programs(fennimo, state):
    env = dict(os.environ, XDG_STATE_HOME=state, QT_QPA_PLATFORM="offscreen")
    rows = [
        ("safe loop", "remembers the way", safe_loop),
        ("unsafe loop", "plain rename, replaces", unsafe_loop),
    ]
    if shutil.which("file-rename"):
        rows.append(("perl rename", "checks, then renames",
                     lambda f: run(["file-rename", "-0", "s/a/b/"], f,
                                   stdin=b"".join(n.encode() + b"\0" for n in os.listdir(f)))))
    if shutil.which("rename.ul"):
        rows.append(("util-linux rename", "checks, then renames",
                     lambda f: run(["rename.ul", "--no-overwrite", "a", "b", "--"] + os.listdir(f), f)))
    if shutil.which("mmv"):
        rows.append(("mmv", "checks all, then renames", lambda f: run(["mmv", "file_a_*", "file_b_#1"], f)))
    rows.append(("fennimo", "never replaces", lambda f: run([fennimo, "--replace", "a", "b", f], "/", env=env)))
    return rows


def make_files(folder, count):
    os.mkdir(folder)
    for i in range(1, count + 1):
        name = f"file_a_{i:06d}.txt"
        with open(os.path.join(folder, name), "w") as f:
            f.write(name)


def check_files(folder, count, label):
    names = sorted(os.listdir(folder))
    expected = [f"file_b_{i:06d}.txt" for i in range(1, count + 1)]
    if names != expected:
        raise RuntimeError(f"{label}: the folder holds {len(names)} names, not the {count} renamed ones")
    for name in names:
        with open(os.path.join(folder, name)) as f:
            if f.read() != name.replace("b", "a", 1):
                raise RuntimeError(f"{label}: {name} does not hold its own file")


# ---- The servers and the mounts.

class rig:
    def __init__(self, work, delay):
        self.work, self.delay = work, delay
        self.processes, self.mounts = [], []
        self.export = os.path.join(work, "export")
        os.mkdir(self.export)

    def start(self, command, **kwargs):
        log = open(os.path.join(self.work, os.path.basename(command[0]) + ".out"), "ab")
        process = subprocess.Popen(command, stdout=log, stderr=subprocess.STDOUT, start_new_session=True, **kwargs)
        self.processes.append(process)
        return process

    def relay(self, listen, target):
        self.counts = os.path.join(self.work, f"relay-{listen[1]}.count")
        self.relay_process = self.start([sys.executable, os.path.abspath(__file__), "--relay",
                                         f"{listen[0]}:{listen[1]}", f"127.0.0.1:{target}", str(self.delay),
                                         self.counts])
        wait_for_port(*listen)

    def requests(self):
        """The chunks the last relay started has passed to its server so far."""
        if os.path.exists(self.counts):
            os.remove(self.counts)
        self.relay_process.send_signal(signal.SIGUSR1)
        for _ in range(200):
            if os.path.exists(self.counts):
                with open(self.counts) as f:
                    text = f.read()
                if text:
                    return int(text)
            time.sleep(0.01)
        raise RuntimeError("the relay does not say what it passed")

    def sshfs(self):
        home = os.path.join(self.work, "ssh")
        os.mkdir(home, 0o700)
        for key in ("host", "client"):
            subprocess.run(["ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", os.path.join(home, key)], check=True)
        shutil.copy(os.path.join(home, "client.pub"), os.path.join(home, "authorized_keys"))
        config = os.path.join(home, "sshd_config")
        with open(config, "w") as f:
            f.write(f"ListenAddress 127.0.0.1:{SSHD_PORT}\nHostKey {home}/host\nPidFile {home}/sshd.pid\n"
                    f"AuthorizedKeysFile {home}/authorized_keys\nPermitRootLogin prohibit-password\n"
                    "PasswordAuthentication no\nKbdInteractiveAuthentication no\nUsePAM no\nStrictModes no\n"
                    "Subsystem sftp /usr/lib/openssh/sftp-server\n")
        os.makedirs("/run/sshd", exist_ok=True)
        self.start(["/usr/sbin/sshd", "-D", "-f", config])
        wait_for_port("127.0.0.1", SSHD_PORT)
        self.relay(SSH_RELAY, SSHD_PORT)
        mount = os.path.join(self.work, "sshfs")
        os.mkdir(mount)
        subprocess.run(["sshfs", f"root@{SSH_RELAY[0]}:{self.export}", mount, "-o",
                        f"port={SSH_RELAY[1]},IdentityFile={home}/client,StrictHostKeyChecking=no,"
                        "UserKnownHostsFile=/dev/null,BatchMode=yes,LogLevel=ERROR"], check=True)
        self.mounts.append(mount)
        return mount

    def smb(self):
        home = os.path.join(self.work, "smb")
        for sub in ("state", "private", "lock", "cache", "pid", ".smb"):
            os.makedirs(os.path.join(home, sub), 0o700)
        config = os.path.join(home, "smb.conf")
        with open(config, "w") as f:
            f.write(f"[global]\nsmb ports = {SMBD_PORT}\ninterfaces = 127.0.0.1\nbind interfaces only = yes\n"
                    "disable netbios = yes\nserver role = standalone server\nserver min protocol = SMB2\n"
                    f"state directory = {home}/state\nprivate dir = {home}/private\nlock directory = {home}/lock\n"
                    f"cache directory = {home}/cache\npid directory = {home}/pid\nlog file = {home}/smbd.log\n"
                    f"passdb backend = tdbsam:{home}/private/passdb.tdb\nload printers = no\n"
                    "printcap name = /dev/null\ndisable spoolss = yes\nmap to guest = never\n"
                    f"[share]\npath = {self.export}\nread only = no\nvalid users = root\n")
        subprocess.run(["smbpasswd", "-c", config, "-s", "-a", "root"], input=f"{PASSWORD}\n{PASSWORD}\n".encode(),
                       check=True, stdout=subprocess.DEVNULL)
        self.start(["smbd", "--foreground", "--no-process-group", "--debug-stdout", "-d", "1",
                    f"--configfile={config}"], stdin=subprocess.DEVNULL)
        wait_for_port("127.0.0.1", SMBD_PORT)
        self.relay(SMB_RELAY, SMBD_PORT)
        # The client's own configuration, in a home of its own: names by
        # address only, no NetBIOS, no browsing, so it asks no other machine.
        with open(os.path.join(home, ".smb", "smb.conf"), "w") as f:
            f.write("[global]\nname resolve order = host\ndisable netbios = yes\nclient min protocol = SMB2\n"
                    "workgroup = WORKGROUP\n")
        with open(os.path.join(home, ".smb", "smbnetfs.conf"), "w") as f:
            f.write('smb_query_browsers "false"\nuse_libsecret "false"\n')
        mount = os.path.join(self.work, "smbnetfs")
        os.mkdir(mount)
        subprocess.run(["smbnetfs", mount, "-o", f"config={home}/.smb/smbnetfs.conf"], check=True,
                       env=dict(os.environ, HOME=home), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.mounts.append(mount)
        share = os.path.join(mount, f"root:{PASSWORD}@{SMB_RELAY[0]}", "share")
        for _ in range(100):
            if os.path.isdir(share):
                return share
            time.sleep(0.1)
        raise RuntimeError("smbnetfs shows no share")

    def stop(self):
        for mount in reversed(self.mounts):
            subprocess.run(["fusermount", "-u", "-z", mount], stderr=subprocess.DEVNULL)
        for process in reversed(self.processes):
            try:
                os.killpg(process.pid, signal.SIGTERM)
                process.wait(timeout=10)
            except (ProcessLookupError, subprocess.TimeoutExpired):
                try:
                    os.killpg(process.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass


def wait_for_port(host, port):
    for _ in range(600):
        with socket.socket() as s:
            if s.connect_ex((host, port)) == 0:
                return
        time.sleep(0.05)
    raise RuntimeError(f"nothing answers on {host}:{port}")


def install():
    missing = [p for p in PACKAGES if subprocess.run(["dpkg-query", "-W", "-f=${Status}", p], capture_output=True)
               .stdout.decode().find("install ok installed") < 0]
    if not missing:
        return
    # No service of the packages starts: this script starts its own, on loopback.
    policy = "/usr/sbin/policy-rc.d"
    made_policy = not os.path.exists(policy)
    if made_policy:
        with open(policy, "w") as f:
            f.write("#!/bin/sh\nexit 101\n")
        os.chmod(policy, 0o755)
    try:
        env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
        subprocess.run(["apt-get", "install", "-y", "-qq", "--no-install-recommends", "-o",
                        "DPkg::Lock::Timeout=600"] + missing, check=True, env=env)
    finally:
        if made_policy:
            os.remove(policy)


def record(figure, folder, files, value):
    """Appends a figure, as the other benches do, to the file that
    FENNIMO_BENCH_RECORD names, for tools/benchmarks.py to read."""
    path = os.environ.get("FENNIMO_BENCH_RECORD")
    if path:
        with open(path, "a") as out:
            out.write(f"bench_shares\t{figure}\t{folder}\t{files}\t{value:.6g}\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--files", type=int, default=2000)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--delay-ms", type=float, default=1.0)
    parser.add_argument("--fennimo", default=os.path.join(os.path.dirname(__file__), "..", "build", "app", "fennimo"))
    parser.add_argument("--shares", default="sshfs,smb")
    parser.add_argument("--relay", nargs=4, help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.relay:
        host, port = args.relay[0].rsplit(":", 1)
        target_host, target_port = args.relay[1].rsplit(":", 1)
        asyncio.run(relay_main((host, int(port)), (target_host, int(target_port)), float(args.relay[2]) / 1000,
                               args.relay[3]))
        return
    if os.geteuid() != 0:
        sys.exit("run as root: the script starts servers and mounts file systems")
    fennimo = os.path.abspath(args.fennimo)
    install()
    lacks = kernel_lacks()
    print(f"this kernel ({os.uname().release}) has no: {', '.join(lacks) or 'nothing missing'}; "
          f"hence smbnetfs for SMB and a relay of our own for the delay")
    print(f"replace \"a\" by \"b\" in {args.files} names, {args.delay_ms:g} ms added each way by the relay, "
          f"medians of {args.rounds} rounds; ratio against the safe loop of the same round")

    work = tempfile.mkdtemp(prefix="fennimo-shares-")
    the_rig = rig(work, args.delay_ms)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    try:
        for share in args.shares.split(","):
            folder = the_rig.sshfs() if share == "sshfs" else the_rig.smb()
            rows = programs(fennimo, os.path.join(work, "state"))
            times = {label: [] for label, _, _ in rows}
            requests = {label: [] for label, _, _ in rows}
            ratios = {label: [] for label, _, _ in rows}
            ways = {}
            for round_ in range(args.rounds):
                seconds = {}
                # Each round starts at another program, so that none always
                # meets the share after the same others.
                for label, _, program in rows[round_ % len(rows):] + rows[:round_ % len(rows)]:
                    name = f"r{round_}-{label.replace(' ', '-')}"
                    make_files(os.path.join(the_rig.export, name), args.files)
                    os.sync()
                    before = the_rig.requests()
                    start = time.monotonic()
                    way = program(os.path.join(folder, name))
                    seconds[label] = time.monotonic() - start
                    requests[label].append((the_rig.requests() - before) / args.files)
                    if label == "safe loop":
                        ways[share] = way
                    check_files(os.path.join(the_rig.export, name), args.files, f"{share} {label}")
                    shutil.rmtree(os.path.join(the_rig.export, name))
                for label in seconds:
                    times[label].append(seconds[label])
                    ratios[label].append(seconds[label] / seconds["safe loop"])
            print(f"\n{share}: the safe loop's way there: {ways.get(share)}")
            print(f"{'program':<20} {'how':<26} {'s':>8} {'ratio':>7} {'requests/file':>14}")
            for label, how, _ in rows:
                print(f"{label:<20} {how:<26} {statistics.median(times[label]):8.2f} "
                      f"{statistics.median(ratios[label]):7.2f} {statistics.median(requests[label]):14.1f}")
                record(f"{label} ratio", share, args.files, statistics.median(ratios[label]))
                record(f"{label} requests per file", share, args.files, statistics.median(requests[label]))
            sys.stdout.flush()
    finally:
        the_rig.stop()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()

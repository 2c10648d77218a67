#!/usr/bin/env python3
"""Local servers for the download tests, on free loopback ports only.

usage: test-servers.py up STATE_DIR          start them (and make their files)
       test-servers.py site STATE_DIR WWW_DIR  start only the plain nginx,
                                               serving WWW_DIR
       test-servers.py down STATE_DIR        stop the ones that `up` or `site`
                                             started

`up` starts Debian's nginx (plain HTTP for the update files, and three TLS
servers: a good certificate, one for another host name, an expired one),
tinyproxy as a forward proxy that demands Basic authentication, and the
scripted fault server. It writes STATE_DIR/servers.ini, which the tests read:
ports, the proxy's credentials, and Windows paths of the web root and the
test CA. `down` ends exactly the processes named in STATE_DIR/pids.
"""
import grp
import os
import pwd
import signal
import socket
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURES = os.path.join(os.path.dirname(HERE), "fixtures")
PROXY_USER = "velmo"
PROXY_PASSWORD = "pr0xy-pass"
# Files of the web root: name, size. Their bytes follow from the name, so a
# test can check what arrived.
WWW_FILES = [("first.txt", 10 * 1024), ("second.bin", 100 * 1024 + 7), ("third.dat", 300 * 1024 + 1)]


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for_port(port, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=0.5):
                return True
        except OSError:
            time.sleep(0.05)
    return False


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def file_bytes(name, size):
    pattern = (name.encode() + b"|") * 64
    return (pattern * (size // len(pattern) + 1))[:size]


def write_www(www):
    os.makedirs(www, exist_ok=True)
    for name, size in WWW_FILES:
        with open(os.path.join(www, name), "wb") as f:
            f.write(file_bytes(name, size))


def nginx_conf(state, ports, www):
    """The plain server on ports['http'], and a TLS server for each
    https_ port that `ports` holds."""
    tls = ""
    for name in ("good", "wrong-host", "expired"):
        port = ports.get("https_" + name.replace("-", "_"))
        if port is None:
            continue
        tls += f"""
  server {{
    listen 127.0.0.1:{port} ssl;
    ssl_certificate {state}/tls/{name}.pem;
    ssl_certificate_key {state}/tls/{name}.key;
    root {www};
  }}"""
    # The workers run as whoever starts the servers: the test folder may lie
    # below a folder that only its owner can enter (a clone made in a
    # private temporary folder), and nginx's default user would get 403.
    user = pwd.getpwuid(os.getuid()).pw_name
    group = grp.getgrgid(os.getgid()).gr_name
    user_line = f"user {user} {group};\n" if os.getuid() == 0 else ""
    return f"""daemon on;
{user_line}worker_processes 2;
pid {state}/nginx.pid;
error_log {state}/nginx-error.log;
events {{ worker_connections 256; }}
http {{
  access_log off;
  default_type application/octet-stream;
  sendfile on;
  client_body_temp_path {state}/tmp/body;
  proxy_temp_path {state}/tmp/proxy;
  fastcgi_temp_path {state}/tmp/fastcgi;
  uwsgi_temp_path {state}/tmp/uwsgi;
  scgi_temp_path {state}/tmp/scgi;
  server {{
    listen 127.0.0.1:{ports['http']};
    root {www};
  }}{tls}
}}
"""


def tinyproxy_conf(port):
    return f"""User nobody
Group nogroup
Port {port}
Listen 127.0.0.1
Timeout 60
MaxClients 20
Allow 127.0.0.1
BasicAuth {PROXY_USER} {PROXY_PASSWORD}
DisableViaHeader Yes
LogLevel Warning
"""


def spawn(args, log, pids):
    with open(log, "ab") as out:
        process = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=out, stderr=out, start_new_session=True)
    pids.append(process.pid)
    return process


def up(state):
    os.makedirs(os.path.join(state, "tmp"), exist_ok=True)
    down(state)
    tls = os.path.join(state, "tls")
    if not os.path.exists(os.path.join(tls, "expired.pem")):
        subprocess.run(["bash", os.path.join(FIXTURES, "make-tls-certs.sh"), tls], check=True)
    write_www(os.path.join(state, "www"))

    ports = {name: free_port() for name in ("http", "proxy", "https_good", "https_wrong_host", "https_expired")}
    pids = []
    try:
        start_nginx(state, ports, os.path.join(state, "www"), pids)

        proxy_conf = os.path.join(state, "tinyproxy.conf")
        with open(proxy_conf, "w") as f:
            f.write(tinyproxy_conf(ports["proxy"]))
        spawn(["tinyproxy", "-d", "-c", proxy_conf], os.path.join(state, "tinyproxy.log"), pids)

        port_file = os.path.join(state, "faults.port")
        if os.path.exists(port_file):
            os.remove(port_file)
        spawn([sys.executable, os.path.join(HERE, "fault_server.py"), port_file, PROXY_USER, PROXY_PASSWORD],
              os.path.join(state, "faults.log"), pids)
        for _ in range(100):
            if os.path.exists(port_file) and open(port_file).read().strip():
                break
            time.sleep(0.05)
        ports["faults"] = int(open(port_file).read().strip())
    finally:
        write_pids(state, pids)
    wait_for_ports(state, ports)

    with open(os.path.join(state, "servers.ini"), "w", newline="\r\n") as f:
        f.write("[servers]\n")
        for name, port in ports.items():
            f.write(f"{name}={port}\n")
        f.write(f"proxy_user={PROXY_USER}\nproxy_password={PROXY_PASSWORD}\n")
        f.write(f"www={windows_path(os.path.join(state, 'www'))}\n")
        f.write(f"ca={windows_path(os.path.join(tls, 'ca.der'))}\n")
        f.write("files=" + ",".join(name for name, _ in WWW_FILES) + "\n")


def site(state, www):
    """Only the plain nginx, serving www; servers.ini names its port."""
    os.makedirs(os.path.join(state, "tmp"), exist_ok=True)
    down(state)
    ports = {"http": free_port()}
    pids = []
    try:
        start_nginx(state, ports, os.path.abspath(www), pids)
    finally:
        write_pids(state, pids)
    wait_for_ports(state, ports)
    with open(os.path.join(state, "servers.ini"), "w", newline="\r\n") as f:
        f.write(f"[servers]\nhttp={ports['http']}\nwww={windows_path(os.path.abspath(www))}\n")


def start_nginx(state, ports, www, pids):
    conf = os.path.join(state, "nginx.conf")
    with open(conf, "w") as f:
        f.write(nginx_conf(state, ports, www))
    subprocess.run(["nginx", "-p", state, "-c", conf, "-e", os.path.join(state, "nginx-error.log")],
                   check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(50):
        if os.path.exists(os.path.join(state, "nginx.pid")):
            break
        time.sleep(0.05)
    with open(os.path.join(state, "nginx.pid")) as f:
        pids.append(int(f.read().strip()))


def write_pids(state, pids):
    with open(os.path.join(state, "pids"), "w") as f:
        f.write("".join(f"{pid}\n" for pid in pids))


def wait_for_ports(state, ports):
    for name, port in ports.items():
        if not wait_for_port(port):
            down(state)
            sys.exit(f"server {name} did not come up on port {port}")


def down(state):
    pid_file = os.path.join(state, "pids")
    if not os.path.exists(pid_file):
        return
    with open(pid_file) as f:
        pids = [int(line) for line in f if line.strip()]
    for pid in pids:
        try:
            os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
    deadline = time.monotonic() + 5
    for pid in pids:
        while time.monotonic() < deadline:
            try:
                os.kill(pid, 0)
            except ProcessLookupError:
                break
            reap(pid)
            time.sleep(0.05)
    os.remove(pid_file)


def reap(pid):
    try:
        os.waitpid(pid, os.WNOHANG)
    except ChildProcessError:
        pass


def main():
    args = sys.argv[1:]
    if not (len(args) == 2 and args[0] in ("up", "down") or len(args) == 3 and args[0] == "site"):
        sys.exit(__doc__)
    state = os.path.abspath(args[1])
    os.makedirs(state, exist_ok=True)
    if args[0] == "up":
        up(state)
    elif args[0] == "site":
        site(state, args[2])
    else:
        down(state)


if __name__ == "__main__":
    main()

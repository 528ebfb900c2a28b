#!/usr/bin/env python3
"""A server that only notes when the first request arrives.

  firstrequest.py PORTFILE STAMPFILE

Listens on a free port of 127.0.0.1 (written to PORTFILE), and writes the
wall-clock time (seconds since the epoch) of a connection to STAMPFILE
whenever that file is missing: remove it before each run. Every
request gets "404 Not Found". Runs until killed.
"""
import os
import socket
import sys
import threading
import time


def answer(conn):
    with conn:
        try:
            conn.recv(65536)
            conn.sendall(b"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
        except OSError:
            pass


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    port_file, stamp_file = argv[1:]
    server = socket.socket()
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", 0))
    server.listen(64)
    with open(port_file, "w") as out:
        out.write(str(server.getsockname()[1]))
    while True:
        conn, _ = server.accept()
        if not os.path.exists(stamp_file):
            with open(stamp_file + ".new", "w") as out:
                out.write("%.6f" % time.time())
            os.rename(stamp_file + ".new", stamp_file)
        threading.Thread(target=answer, args=(conn,), daemon=True).start()


if __name__ == "__main__":
    main(sys.argv)

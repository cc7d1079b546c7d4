"""Test FTP server: serves one directory to one user on 127.0.0.1.

Usage: ftpserver.py ROOT USER PASSWORD
Prints "PORT <n>" once it listens, then serves until it is killed or stdin closes.
"""
import logging
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    root, user, password = sys.argv[1:4]
    logging.basicConfig(level=logging.ERROR)
    logging.getLogger("pyftpdlib").setLevel(logging.ERROR)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.banner = "pyftpdlib test server ready."
    handler.passive_ports = None
    server = FTPServer(("127.0.0.1", 0), handler)
    port = server.socket.getsockname()[1]
    print("PORT %d" % port, flush=True)

    # A test that dies without stopping us closes our stdin: leave then, never linger.
    def watch_stdin():
        sys.stdin.read()
        os._exit(0)

    threading.Thread(target=watch_stdin, daemon=True).start()
    server.serve_forever(handle_exit=False)


if __name__ == "__main__":
    main()

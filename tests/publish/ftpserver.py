"""Test FTP server: serves one directory to one user on 127.0.0.1.

Usage: ftpserver.py [--no-mlsd] [--slow-data] ROOT USER PASSWORD [CERTFILE]
With CERTFILE it speaks explicit FTPS (AUTH TLS) and requires it; a missing CERTFILE is
made first: a fresh self-signed certificate and its key in one PEM file. With --no-mlsd it
answers MLSD and MLST as unknown commands (500) and FEAT names no MLST, as vsftpd does.
With --slow-data it takes stored data at 8 MB/s, so a test can cut a large file midway.
Prints "PORT <n>" once it listens, then serves until it is killed or stdin closes.
"""
import logging
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def make_certificate(path):
    from OpenSSL import crypto

    key = crypto.PKey()
    key.generate_key(crypto.TYPE_RSA, 2048)
    cert = crypto.X509()
    cert.get_subject().CN = "localhost"
    cert.set_serial_number(int.from_bytes(os.urandom(8), "big"))
    cert.gmtime_adj_notBefore(-60)
    cert.gmtime_adj_notAfter(24 * 3600)
    cert.set_issuer(cert.get_subject())
    cert.set_pubkey(key)
    cert.sign(key, "sha256")
    with open(path, "wb") as out:
        out.write(crypto.dump_certificate(crypto.FILETYPE_PEM, cert))
        out.write(crypto.dump_privatekey(crypto.FILETYPE_PEM, key))


def main():
    arguments = [a for a in sys.argv[1:] if not a.startswith("--")]
    no_mlsd = "--no-mlsd" in sys.argv[1:]
    slow_data = "--slow-data" in sys.argv[1:]
    root, user, password = arguments[0:3]
    certfile = arguments[3] if len(arguments) > 3 else None
    logging.basicConfig(level=logging.ERROR)
    logging.getLogger("pyftpdlib").setLevel(logging.ERROR)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")
    if certfile:
        from pyftpdlib.handlers import TLS_FTPHandler

        if not os.path.exists(certfile):
            make_certificate(certfile)
        handler = TLS_FTPHandler
        handler.certfile = certfile
        handler.tls_control_required = True
        handler.tls_data_required = True
    else:
        handler = FTPHandler
    if no_mlsd:
        handler.proto_cmds = {k: v for k, v in handler.proto_cmds.items() if k not in ("MLSD", "MLST")}
    if slow_data:
        from pyftpdlib.handlers import ThrottledDTPHandler

        ThrottledDTPHandler.read_limit = 8 * 1024 * 1024
        handler.dtp_handler = ThrottledDTPHandler
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

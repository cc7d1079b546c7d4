"""Test peer: the TLS data port of one stored file, from a server that talks late.

Usage: tlspeer.py CERTFILE LATE_SECONDS
Makes CERTFILE as ftpserver.py does when it is missing, prints "PORT <n>" once it listens
on 127.0.0.1, and takes one connection: a TLS 1.3 handshake without session tickets, then
LATE_SECONDS of silence, then a few bytes to the client (as a server sending its tickets
late does), then the file until the client's close_notify, answered with its own.
Prints "RECEIVED <bytes> <sha256 hex> clean", or "... reset" when the client reset the
connection on the way.
"""
import hashlib
import os
import socket
import ssl
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from ftpserver import make_certificate  # noqa: E402


def main():
    certfile, late = sys.argv[1], float(sys.argv[2])
    if not os.path.exists(certfile):
        make_certificate(certfile)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.minimum_version = ssl.TLSVersion.TLSv1_3
    context.load_cert_chain(certfile)
    context.num_tickets = 0
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    print("PORT %d" % listener.getsockname()[1], flush=True)
    connection, _ = listener.accept()
    tls = context.wrap_socket(connection, server_side=True)
    time.sleep(late)
    digest = hashlib.sha256()
    total = 0
    outcome = "clean"
    try:
        tls.sendall(b"late")
        while True:
            block = tls.recv(65536)
            if not block:
                break
            digest.update(block)
            total += len(block)
        tls.unwrap()
    except (OSError, ssl.SSLError):
        outcome = "reset"
    print("RECEIVED %d %s %s" % (total, digest.hexdigest(), outcome), flush=True)
    connection.close()


if __name__ == "__main__":
    main()

"""Reading an interpreter's output as it comes, for the tests that talk to a running
process (Ctrl-C, serial lines): what arrives until a marker, or until time runs out."""
import os
import select
import time


def read_until(source, marker, seconds=10):
    """Bytes read from `source` (a file object or a descriptor) until `marker` has come,
    the other end closes, or `seconds` pass."""
    descriptor = source if isinstance(source, int) else source.fileno()
    received = b""
    deadline = time.time() + seconds
    while marker not in received and time.time() < deadline:
        ready, _, _ = select.select([descriptor], [], [], 0.5)
        if ready:
            chunk = os.read(descriptor, 100)
            if not chunk:
                break
            received += chunk
    return received

# The loop an operator would write in Python instead of running the program:
# open the simulator's pseudo-terminal, write "RV" + CR, select until 12
# characters are in, again, for the given seconds. Prints readings per second.
# Usage: python3 plainloop.py PATH SECONDS
import os
import select
import sys
import time
import tty

fd = os.open(sys.argv[1], os.O_RDWR | os.O_NOCTTY)
tty.setraw(fd)
seconds = float(sys.argv[2])
readings = 0
start = time.monotonic()
while time.monotonic() - start < seconds:
    os.write(fd, b"RV\r")
    reply = b""
    while len(reply) < 12:
        if not select.select([fd], [], [], 2.0)[0]:
            sys.exit(1)
        reply += os.read(fd, 256)
    readings += 1
print(readings / (time.monotonic() - start))

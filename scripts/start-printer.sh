#!/usr/bin/env bash
# Starts the print system with a PDF printer as the default, so the print test
# has a real queue. Needs root (the print system's configuration); elsewhere,
# or when it will not start, it says so and the print test skips. Running it again changes nothing.
set -uo pipefail
if [ "$(id -u)" != 0 ] || ! command -v cupsd >/dev/null; then
    echo "start-printer: not root or no cupsd; printing is not tested"
    exit 0
fi
# One job file per print, even for two jobs of the same name; pages land in
# /var/spool/cups-pdf/USER, not in anybody's home folder.
if [ -f /etc/cups/cups-pdf.conf ]; then
    grep -q '^Label 1' /etc/cups/cups-pdf.conf ||
        sed -i 's/^#\?Label .*/Label 1/' /etc/cups/cups-pdf.conf
    grep -q '^Out /var/spool/cups-pdf/' /etc/cups/cups-pdf.conf ||
        sed -i 's|^#\?Out .*|Out /var/spool/cups-pdf/${USER}|' /etc/cups/cups-pdf.conf
fi
if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    # In the background, detached from this script's output, so nothing here
    # keeps a caller waiting.
    setsid cupsd -f </dev/null >/dev/null 2>&1 &
    for _ in $(seq 50); do
        lpstat -r 2>/dev/null | grep -q 'is running' && break
        sleep 0.2
    done
fi
if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    echo "start-printer: the print system did not start; printing is not tested"
    exit 0
fi
lpstat -p PDF >/dev/null 2>&1 ||
    timeout 30 lpadmin -p PDF -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd ||
    echo "start-printer: no PDF printer could be added"
# Pages pass through PostScript on their way to PDF; this converter keeps
# their texts readable as text.
timeout 30 lpadmin -p PDF -o pdftops-renderer-default=pdftocairo 2>/dev/null || true
timeout 30 lpadmin -d PDF 2>/dev/null || true
lpstat -d 2>/dev/null || true

#!/bin/sh
# Validates the menu entry and the software-centre description. Any remark
# fails the check, warnings and hints included, not only errors.
# Usage: check_metadata.sh <file.desktop> <file.metainfo.xml>
set -u
status=0

remarks=$(desktop-file-validate "$1" 2>&1) || status=1
if [ -n "$remarks" ]; then
    printf '%s\n' "$remarks"
    status=1
fi

appstreamcli validate --no-net --strict "$2" || status=1
exit $status

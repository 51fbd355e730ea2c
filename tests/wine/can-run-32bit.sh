#!/usr/bin/env bash
# Status 0 when this machine runs 32-bit x86 code, 1 otherwise. It tries a
# 93-byte i386 Linux program that only exits: a machine (or hypervisor)
# without 32-bit support refuses it, and then Wine's 32-bit loader cannot
# start either.
probe=$(mktemp "${TMPDIR:-/tmp}/rv-exit32.XXXXXX") || exit 1
trap 'rm -f "$probe"' EXIT
echo 'f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAAAAAAAAAAAAADQAIAABAAAAAAAAAAEAAAAAAAAAAIAECACABAhdAAAAXQAAAAUAAAAAEAAAMdu4AQAAAM2A' |
    base64 -d >"$probe" && chmod +x "$probe" || exit 1
"$probe" 2>/dev/null || exit 1

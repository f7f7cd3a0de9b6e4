#!/usr/bin/env bash
# Prints Debian's archive as this machine's apt reaches it: the first source with the
# "main" component whose address ends in /debian, from the deb822 files or the one-line
# lists. Prints nothing when there is none.
{
    awk 'BEGIN { RS = "" }
        /(^|\n)Types:[^\n]*[ \t]deb([ \t\n]|$)/ && /(^|\n)Components:[^\n]*[ \t]main([ \t\n]|$)/ \
        && !/(^|\n)Enabled:[ \t]*no/ && match($0, /(^|\n)URIs:[ \t]*[^ \t\n]+/) {
            uri = substr($0, RSTART, RLENGTH); sub(/^\n?URIs:[ \t]*/, "", uri); print uri
        }' /etc/apt/sources.list.d/*.sources
    sed -n 's/\[[^]]*\]//; s/^[[:space:]]*deb[[:space:]]\+\([^[:space:]]\+\)[[:space:]]\+[^[:space:]]\+\([[:space:]]\+[^[:space:]]\+\)*[[:space:]]\+main\([[:space:]].*\)\?$/\1/p' \
        /etc/apt/sources.list /etc/apt/sources.list.d/*.list
} 2>/dev/null | grep -m 1 -E '/debian/?$' | sed 's:/$::' || true

#!/bin/sh
# Stands in for the desktop's opener: appends its arguments, one line per call,
# to the file named first.
log=$1
shift
printf '%s\n' "$*" >> "$log"

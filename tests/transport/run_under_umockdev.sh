#!/bin/sh
# Runs a test program under umockdev-wrapper. The wrapper preloads umockdev's
# library ahead of everything, AddressSanitizer's runtime included: tell
# AddressSanitizer that this order is intended. ThreadSanitizer gets the
# suppressions for umockdev's and GLib's own (uninstrumented) threads.
here=$(dirname "$0")
ASAN_OPTIONS="verify_asan_link_order=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
TSAN_OPTIONS="suppressions=$here/umockdev.tsan.supp${TSAN_OPTIONS:+ $TSAN_OPTIONS}"
export ASAN_OPTIONS TSAN_OPTIONS
exec umockdev-wrapper "$@"

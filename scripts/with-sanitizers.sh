#!/usr/bin/env bash
# Runs a command with the options of AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer that every sanitized run uses (make test's second pass, the
# fuzz regressions in it, make fuzz). This is the only place those options are set.
#
# Leak stacks are unwound the slow way: the system libraries have no frame pointers, so the
# fast unwinder stops at the first library frame and a leak of ours made through g_malloc
# would look like one of GLib's. Ten frames are kept: enough to show who allocated, and few
# enough that a library suppression in lsan.supp only matches near the allocation, never
# a WebKit or GTK frame far below one of our callbacks.
#
# VORLANE_LEAK_CHECK=full is for an occasional hunt by hand: GLib hands out GObjects with
# plain malloc (its slice allocator otherwise hides them from LeakSanitizer) and stacks are
# 40 frames deep. With deep stacks a suppression can also match a library frame below our
# code, so read a clean result with the suppressions off too (LSAN_OPTIONS=suppressions=).
# GTK's X11 selection code leaves a few objects there that no suppression names.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

export ASAN_OPTIONS="detect_leaks=1:strict_init_order=1:check_initialization_order=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$here/ubsan.supp${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
lsan="suppressions=$here/lsan.supp:print_suppressions=0:fast_unwind_on_malloc=0:malloc_context_size=10"
if [ "${VORLANE_LEAK_CHECK:-}" = full ]; then
  export G_SLICE=always-malloc
  export G_DEBUG="${G_DEBUG:+$G_DEBUG,}gc-friendly"
  lsan="$lsan:malloc_context_size=40"
fi
# Options already in the environment come last, so they win.
export LSAN_OPTIONS="$lsan${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
exec "$@"

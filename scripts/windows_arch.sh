#!/usr/bin/env bash
# Prints the Windows architecture this machine's Wine can run: win32 where the kernel starts 32-bit
# programs, win64 where it does not (its 32-bit emulation is off), so that 32-bit Wine cannot start and the
# Windows tests run the x86-64 build of the same sources under 64-bit Wine.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo win32; else echo win64; fi

#!/bin/sh
# Installs everything the native builds (64-bit, 32-bit, under the sanitizers), the Windows cross
# build and the Wine tests need on a Debian 12 machine (run as root). Safe to run again: apt
# skips what is present.
set -eu
export DEBIAN_FRONTEND=noninteractive
dpkg --add-architecture i386
apt-get update
apt-get install -y --no-install-recommends \
    cmake make g++ ninja-build googletest libgtest-dev libbenchmark-dev \
    clang libclang-rt-14-dev \
    libtsan2 gcc-multilib g++-multilib lib32asan8 lib32ubsan1 \
    g++-mingw-w64-i686 mingw-w64-tools \
    wine wine32:i386 wine64 fonts-wine \
    xvfb xauth x11-utils xdotool imagemagick \
    fonts-ipafont-gothic locales \
    libjpeg-turbo-progs libjpeg62-turbo-dev libstb-dev python3 \
    osslsigncode openssl
# ja_JP.UTF-8: Wine takes its ANSI code page (932) from it, and Japanese file names stay UTF-8 on Linux.
sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
locale-gen

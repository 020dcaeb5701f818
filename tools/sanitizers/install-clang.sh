#!/usr/bin/env bash
# Installs clang and its fuzzer runtime (Debian 12: clang, libclang-rt-14-dev) when missing;
# `make fuzz` needs them, the ordinary build and tests do not.
set -euo pipefail
have_runtime() {
    compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null
}
if command -v clang++ >/dev/null && have_runtime; then
    exit 0
fi
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
echo "Installing clang and the libFuzzer runtime"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev

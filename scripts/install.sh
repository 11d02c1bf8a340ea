#!/usr/bin/env bash
# Installs or uninstalls Velmora BASIC: the executable, its manual page, its
# documentation with the example programs, and the Jupyter kernel (velmora-kernel,
# built beside the executable) with its kernel spec. The one list of installed files, shared by
# make install, make uninstall and make deb.
#   scripts/install.sh install|uninstall EXECUTABLE DESTDIR PREFIX
set -euo pipefail
action=$1 executable=$2 destdir=$3 prefix=$4
source_dir=$(cd "$(dirname "$0")/.." && pwd)
bin_dir=$destdir$prefix/bin
man_dir=$destdir$prefix/share/man/man1
doc_dir=$destdir$prefix/share/doc/velmora
kernel_dir=$destdir$prefix/share/jupyter/kernels/velmora
kernel_spec=$source_dir/src/kernel/kernelspec
examples=(roots.bas unity.bas quadratic.vmb)

case $action in
install)
  install -d "$bin_dir" "$man_dir" "$doc_dir/examples"
  install -m 755 "$executable" "$bin_dir/velmora"
  install -m 755 "$(dirname "$executable")/velmora-kernel" "$bin_dir/velmora-kernel"
  install -d "$kernel_dir"
  sed "s|@KERNEL@|$prefix/bin/velmora-kernel|" "$kernel_spec/kernel.json.in" >"$kernel_dir/kernel.json"
  chmod 644 "$kernel_dir/kernel.json"
  install -m 644 "$kernel_spec/logo-32x32.png" "$kernel_spec/logo-64x64.png" "$kernel_dir"
  install -m 644 "$source_dir/doc/velmora.1" "$man_dir/velmora.1"
  install -m 644 "$source_dir/README.md" "$doc_dir/README.md"
  for example in "${examples[@]}"; do
    mode=644
    [ -x "$source_dir/examples/$example" ] && mode=755
    install -m $mode "$source_dir/examples/$example" "$doc_dir/examples/$example"
  done
  echo "installed $bin_dir/velmora, $man_dir/velmora.1 and $doc_dir"
  ;;
uninstall)
  rm -f "$bin_dir/velmora" "$bin_dir/velmora-kernel" "$man_dir/velmora.1" "$doc_dir/README.md"
  rm -f "$kernel_dir/kernel.json" "$kernel_dir/logo-32x32.png" "$kernel_dir/logo-64x64.png"
  rmdir "$kernel_dir" 2>/dev/null || true
  for example in "${examples[@]}"; do rm -f "$doc_dir/examples/$example"; done
  rmdir "$doc_dir/examples" "$doc_dir" 2>/dev/null || true
  echo "removed velmora from $destdir$prefix"
  ;;
*)
  echo "usage: $0 install|uninstall EXECUTABLE DESTDIR PREFIX" >&2
  exit 2
  ;;
esac

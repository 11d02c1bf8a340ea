#!/usr/bin/env bash
# Installs or uninstalls Velmora BASIC: the executable, its manual page, its message
# catalogues, its documentation with the example programs, and the Jupyter kernel
# (velmora-kernel, built beside the executable) with its kernel spec. The one list of
# installed files, shared by make install, make uninstall and make deb.
#   scripts/install.sh install|stage|uninstall EXECUTABLE DESTDIR PREFIX
# install also notes the folders it had to make, so that uninstall removes them again
# when they are left empty and never removes one that was there before (such as an
# empty /usr/local/share/man). stage installs for a package, which notes nothing.
set -euo pipefail
action=$1 executable=$2 destdir=$3 prefix=$4
source_dir=$(cd "$(dirname "$0")/.." && pwd)
bin_dir=$destdir$prefix/bin
man_dir=$destdir$prefix/share/man/man1
doc_dir=$destdir$prefix/share/doc/velmora
locale_dir=$destdir$prefix/share/locale
kernel_dir=$destdir$prefix/share/jupyter/kernels/velmora
kernel_spec=$source_dir/src/kernel/kernelspec
# The build puts the message catalogues in "locale" beside the executable.
catalogues=(en)
examples=(roots.bas unity.bas quadratic.vmb worked_examples.ipynb)
# The folders made by install, the deepest first, without DESTDIR.
made_record=$doc_dir/installed-folders

missing_folders() {
  local folder
  for folder in "$@"; do
    while [ ! -e "$folder" ]; do
      echo "${folder#"$destdir"}"
      folder=$(dirname "$folder")
    done
  done | sort -ru
}

install_files() {
  install -d "$bin_dir" "$man_dir" "$doc_dir/examples"
  install -m 755 "$executable" "$bin_dir/velmora"
  install -m 755 "$(dirname "$executable")/velmora-kernel" "$bin_dir/velmora-kernel"
  install -d "$kernel_dir"
  sed "s|@KERNEL@|$prefix/bin/velmora-kernel|" "$kernel_spec/kernel.json.in" >"$kernel_dir/kernel.json"
  chmod 644 "$kernel_dir/kernel.json"
  install -m 644 "$kernel_spec/logo-32x32.png" "$kernel_spec/logo-64x64.png" "$kernel_dir"
  install -m 644 "$source_dir/doc/velmora.1" "$man_dir/velmora.1"
  install -m 644 "$source_dir/doc/velmora-kernel.1" "$man_dir/velmora-kernel.1"
  install -m 644 "$source_dir/README.md" "$doc_dir/README.md"
  for language in "${catalogues[@]}"; do
    install -D -m 644 "$(dirname "$executable")/locale/$language/LC_MESSAGES/velmora.mo" \
      "$locale_dir/$language/LC_MESSAGES/velmora.mo"
  done
  for example in "${examples[@]}"; do
    mode=644
    [ -x "$source_dir/examples/$example" ] && mode=755
    install -m $mode "$source_dir/examples/$example" "$doc_dir/examples/$example"
  done
}

case $action in
install)
  catalogue_dirs=()
  for language in "${catalogues[@]}"; do catalogue_dirs+=("$locale_dir/$language/LC_MESSAGES"); done
  made=$(missing_folders "$bin_dir" "$man_dir" "$doc_dir/examples" "$kernel_dir" "${catalogue_dirs[@]}")
  install_files
  [ -f "$made_record" ] || printf '%s\n' "$made" | sed '/^$/d' >"$made_record"
  echo "installed $bin_dir/velmora, $bin_dir/velmora-kernel, $man_dir/velmora.1, $kernel_dir and $doc_dir"
  ;;
stage)
  install_files
  ;;
uninstall)
  rm -f "$bin_dir/velmora" "$bin_dir/velmora-kernel" "$man_dir/velmora.1" "$man_dir/velmora-kernel.1" "$doc_dir/README.md"
  rm -f "$kernel_dir/kernel.json" "$kernel_dir/logo-32x32.png" "$kernel_dir/logo-64x64.png"
  for language in "${catalogues[@]}"; do rm -f "$locale_dir/$language/LC_MESSAGES/velmora.mo"; done
  for example in "${examples[@]}"; do rm -f "$doc_dir/examples/$example"; done
  made=()
  [ -f "$made_record" ] && mapfile -t made <"$made_record"
  rm -f "$made_record"
  rmdir "$doc_dir/examples" "$doc_dir" "$kernel_dir" 2>/dev/null || true
  for folder in "${made[@]}"; do rmdir "$destdir$folder" 2>/dev/null || true; done
  echo "removed velmora from $destdir$prefix"
  ;;
*)
  echo "usage: $0 install|stage|uninstall EXECUTABLE DESTDIR PREFIX" >&2
  exit 2
  ;;
esac

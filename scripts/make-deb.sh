#!/usr/bin/env bash
# Builds the Debian package of Velmora BASIC from a built executable:
#   scripts/make-deb.sh EXECUTABLE OUTPUT_DIRECTORY
# The package depends on the library packages the executable links (as dpkg-shlibdeps
# finds them, with their minimal versions), on those it opens when first needed, and on
# the Japanese fonts it draws with.
set -euo pipefail
executable=$(realpath "$1")
output=$(realpath "$2")
source_dir=$(cd "$(dirname "$0")/.." && pwd)
version=$("$executable" --version | awk '{print $NF}')
# The package's changelog and copyright file, and the maintainer, whom the latest
# changelog entry names.
debian=$source_dir/scripts/debian
changelog_version=$(dpkg-parsechangelog -l "$debian/changelog" -S Version)
maintainer=$(dpkg-parsechangelog -l "$debian/changelog" -S Maintainer)
if [ "$changelog_version" != "$version" ]; then
    echo "make-deb.sh: the executable is version $version, scripts/debian/changelog ends at $changelog_version" >&2
    exit 1
fi
architecture=$(dpkg --print-architecture)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# dpkg-shlibdeps expects the layout of a source package: debian/control beside the
# staged files in debian/PACKAGE.
root=$work/debian/velmora
mkdir -p "$root/DEBIAN"
chmod 755 "$root" "$root/DEBIAN"
printf 'Source: velmora\n\nPackage: velmora\nArchitecture: any\n' >"$work/debian/control"

"$source_dir/scripts/install.sh" stage "$executable" "$root" /usr
for program in velmora velmora-kernel; do
  strip --strip-unneeded --remove-section=.comment --remove-section=.note "$root/usr/bin/$program"
  gzip -9n "$root/usr/share/man/man1/$program.1"
done
install -m 644 "$debian/copyright" "$root/usr/share/doc/velmora/copyright"
gzip -9n -c "$debian/changelog" >"$root/usr/share/doc/velmora/changelog.gz"
chmod 644 "$root/usr/share/doc/velmora/changelog.gz"

libraries=$(cd "$work" && dpkg-shlibdeps -O debian/velmora/usr/bin/velmora debian/velmora/usr/bin/velmora-kernel | sed -n 's/^shlibs:Depends=//p')

# The libraries opened with dlopen when first needed (the SONAMEs of
# src/zov/sdl_library.cpp, x11_library.cpp, fontconfig_library.cpp, freetype_library.cpp,
# src/imagefile/png_library.cpp, jpeg_library.cpp, src/io/cups_library.cpp and
# cairo_library.cpp) are invisible to dpkg-shlibdeps: each is named here with the
# dependency its package's shlibs file declares for that SONAME.
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
opened_library_dependency() {
    local soname=$1 package shlibs
    package=$(dpkg-query -S "*/$multiarch/$soname" | head -n1 | cut -d: -f1)
    shlibs=$(dpkg-query --control-path "$package" shlibs)
    awk -v name="${soname%%.so.*}" -v version="${soname##*.so.}" '
        $1 == name && $2 == version { $1 = $2 = ""; sub(/^ +/, ""); print; exit }' "$shlibs"
}
for soname in libSDL2-2.0.so.0 libX11.so.6 libfontconfig.so.1 libfreetype.so.6 libpng16.so.16 libjpeg.so.62 \
    libcups.so.2 libcairo.so.2 libchafa.so.0; do
    dependency=$(opened_library_dependency "$soname")
    [ -n "$dependency" ] || { echo "make-deb.sh: no package declares $soname" >&2; exit 1; }
    libraries="$libraries, $dependency"
done
installed_size=$(du -sk --exclude=DEBIAN "$root" | cut -f1)
cat >"$root/DEBIAN/control" <<CONTROL
Package: velmora
Version: $version
Architecture: $architecture
Maintainer: $maintainer
Installed-Size: $installed_size
Depends: $libraries, fonts-ipafont-gothic, fonts-ipafont-mincho
Suggests: xclip, jupyter-notebook | jupyter-console
Section: interpreters
Priority: optional
Description: interactive BASIC in which every number is a complex number
 Velmora BASIC is an interactive BASIC interpreter for the terminal in which
 every number is a complex number, written and shown in a+bi form. It keeps the
 line-numbered syntax of 8-bit microcomputer BASIC and is meant as a
 programmable complex-number calculator, with graphics windows, image files and
 printed pages. A Jupyter kernel, velmora-kernel, runs it in notebooks with the
 pictures of its windows shown after each cell.
CONTROL
(cd "$root" && find usr -type f | LC_ALL=C sort | xargs -d '\n' md5sum) >"$root/DEBIAN/md5sums"
chmod 644 "$root/DEBIAN/md5sums"
mkdir -p "$output"
package=$output/velmora_${version}_${architecture}.deb
dpkg-deb --root-owner-group -Zxz --build "$root" "$package" >/dev/null
echo "$package"

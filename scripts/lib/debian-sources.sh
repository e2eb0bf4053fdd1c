# Library builds from Debian's source packages, for the builds that cannot use
# the machine's libraries (Windows, the browser). Sourced by their scripts,
# which set:
#   out        the build's folder (its private apt state goes in $out/apt)
#   sources    where the source packages are fetched and unpacked
#   prefix     where the libraries are installed
#   configure  the command that configures a CMake build for the target,
#              as an array (cmake with a toolchain file, emcmake cmake, ...)
#   target     the target's name in messages ("Windows", "the browser")

# Fetches source packages through an apt state of the build's own: the
# machine's Debian mirrors as deb-src entries in a private sources file, so
# that the machine's apt configuration stays as it is.
fetch_sources() {
  local apt=$out/apt
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/sources.list.d"
  {
    [ -f /etc/apt/sources.list ] && grep -h '^deb .*debian' /etc/apt/sources.list | sed 's/^deb /deb-src /'
    for file in /etc/apt/sources.list.d/*.sources; do
      [ -f "$file" ] || continue
      awk 'BEGIN { RS = ""; ORS = "\n\n" } /URIs:[^\n]*debian/ { sub(/Types: deb\n/, "Types: deb-src\n"); print }' "$file"
    done
  } > "$apt/sources.list.d/debian-src.sources"
  # One-line entries may be in the file too; apt takes only one format a file.
  grep '^deb-src ' "$apt/sources.list.d/debian-src.sources" > "$apt/sources.list" || true
  sed -i '/^deb-src /d' "$apt/sources.list.d/debian-src.sources"
  local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/sources.list.d"
                 -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o APT::Sandbox::User=root)
  apt-get "${options[@]}" update -qq
  (cd "$sources" && apt-get "${options[@]}" source --download-only -qq "$@")
}

# Unpacks a source package (Debian's patches applied) into $sources/NAME.
unpack_source() {
  local name=$1 dsc
  [ -d "$sources/$name" ] && return 0
  dsc=$(ls "$sources"/"$name"_*.dsc | head -n 1)
  (cd "$sources" && dpkg-source --no-check -x "$dsc" "$name.tmp" > /dev/null && mv "$name.tmp" "$name")
}

# Fetches and unpacks the named source packages that are neither built nor
# unpacked yet.
get_sources() {
  local needed=() package
  mkdir -p "$sources" "$prefix"
  for package in "$@"; do
    [ -e "$prefix/.built-$package" ] || ls "$sources"/"$package"_*.dsc > /dev/null 2>&1 || needed+=("$package")
  done
  [ ${#needed[@]} -eq 0 ] || fetch_sources "${needed[@]}"
  for package in "$@"; do
    [ -e "$prefix/.built-$package" ] || unpack_source "$package"
  done
}

# Configures, builds and installs one library into the prefix, once for the
# same options.
build_library() {
  local name=$1 source=$2
  shift 2
  [ "$(cat "$prefix/.built-$name" 2> /dev/null)" = "$*" ] && return 0
  local log=$out/libs/$name.log
  echo "Building $name for $target (log: $log)"
  rm -rf "$out/libs/$name"
  mkdir -p "$out/libs"
  if ! { "${configure[@]}" -S "$source" -B "$out/libs/$name" -DCMAKE_BUILD_TYPE=Release \
           -DCMAKE_INSTALL_PREFIX="$prefix" "$@" &&
         cmake --build "$out/libs/$name" -j2 &&
         cmake --install "$out/libs/$name"; } > "$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "Building $name failed; the whole log: $log" >&2
    exit 1
  fi
  echo "$*" > "$prefix/.built-$name"
}

# Sourced by the tests of the installed program.
#   install_program <root> <cmake build folder>
# lays the program out below <root> as it is installed and prints its prefix
# (<root>/usr): from the package $TELVANTA_INSTALL_FROM when that is set
# (`make check` builds one), else from the build folder by `cmake --install`.
install_program() {
  local root=$1 build=$2
  mkdir -p "$root"
  if [ -n "${TELVANTA_INSTALL_FROM:-}" ]; then
    dpkg-deb -x "$TELVANTA_INSTALL_FROM" "$root" || return 1
  elif ! cmake --install "$build" --prefix "$root/usr" > "$root.log" 2>&1; then
    cat "$root.log" >&2
    return 1
  fi
  rm -f "$root.log"
  echo "$root/usr"
}

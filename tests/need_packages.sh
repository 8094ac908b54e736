# Sourced by test.sh and the release scripts. need_packages WHAT=PACKAGE ...: WHAT is a command, or a file
# when it starts with "/"; the Debian packages of those missing are installed when running as
# root, else they are named and the script stops.
need_packages() {
  local missing=() item what
  for item in "$@"; do
    what=${item%%=*}
    if [[ $what == /* ]]; then [ -e "$what" ] && continue
    else command -v "$what" >/dev/null && continue
    fi
    missing+=("${item#*=}")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
  else
    echo "Missing: ${missing[*]}. Install them with: sudo apt-get install ${missing[*]}" >&2
    exit 1
  fi
}

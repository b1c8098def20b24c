# Sourced by the set-up scripts: installs the Debian packages a step needs.
#
#   ensure_packages TAG PACKAGE...
#
# Returns at once when all are installed. As root it installs the missing
# ones; otherwise it names them, says how to install them, and exits 1.
# TAG starts every message.

ensure_packages() {
  local tag="$1" package status
  shift
  local missing=()
  for package in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
  done
  [[ ${#missing[@]} -eq 0 ]] && return 0
  if [[ $(id -u) -ne 0 ]]; then
    echo "$tag: missing packages: ${missing[*]}" >&2
    echo "$tag: install them with: sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "$tag: installing ${missing[*]}" >&2
  DEBIAN_FRONTEND=noninteractive apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

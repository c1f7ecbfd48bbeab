#!/bin/sh
# Runs a command with a CA bundle in place of the system's: in a private mount namespace the
# bundle is bind-mounted over /etc/ssl/certs/ca-certificates.crt, the first place Wine's
# certificate store reads its trusted roots from. The machine's own store is not changed.
# Usage: with_test_ca.sh BUNDLE COMMAND [ARGS...]   (as root)
set -eu
bundle=$1
shift
exec unshare --mount --propagation private sh -c \
  'mount --bind "$0" /etc/ssl/certs/ca-certificates.crt && exec "$@"' "$bundle" "$@"

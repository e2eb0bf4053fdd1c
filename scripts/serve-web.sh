#!/usr/bin/env bash
# Serves the browser build's site (build-web/site, which scripts/build-web.sh
# writes) on 127.0.0.1 and prints its address; Ctrl-C stops it.
#   serve-web.sh [PORT]   default 8080
set -euo pipefail
cd "$(dirname "$0")/.."
port=${1:-8080}
site=$PWD/build-web/site
if [ ! -f "$site/index.html" ]; then
  echo "No site in $site: run scripts/build-web.sh first." >&2
  exit 1
fi
echo "Vernaskel is served at http://127.0.0.1:$port/ (Ctrl-C stops the server)"
# WebAssembly is compiled as it arrives only when served as application/wasm.
exec python3 -c '
import functools, http.server, sys
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=sys.argv[2])
handler.func.extensions_map[".wasm"] = "application/wasm"
http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])), handler).serve_forever()
' "$port" "$site"

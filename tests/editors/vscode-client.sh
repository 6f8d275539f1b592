#!/bin/sh
# vscode-client.sh SOURCE PACKAGE_JSON CACHE: run by run.sh in a scratch folder. Copies the VS
# Code extension of SOURCE (editors/vscode) with the package.json that the build wrote, builds it
# with `npm ci` from its lock file (packages cached in CACHE), checks that its code parses, and
# runs vscode_client.js against the server.
set -e
source=$1 manifest=$2 cache=$3
here=$(cd "$(dirname "$0")" && pwd)
mkdir extension
cp -R "$source"/. extension/
rm -rf extension/node_modules extension/package.json.in
cp "$manifest" extension/package.json
(cd extension && timeout -k 5 120 npm ci --ignore-scripts --no-audit --no-fund --cache "$cache" >npm.log 2>&1) ||
  { cat extension/npm.log; exit 1; }
for file in extension/*.js; do
  timeout -k 5 10 node --check "$file"
done
timeout -k 5 30 node "$here/vscode_client.js" extension

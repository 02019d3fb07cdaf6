#!/usr/bin/env bash
# Writes the schema-11 test decks that an outside writer makes: npm's
# anki-apkg-export, run once here; the decks are committed beside this
# script so that the tests need no npm.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
npm install --silent --no-audit --no-fund anki-apkg-export@4.0.3 >/dev/null
cp "$here/npm-decks.js" .
node npm-decks.js "$here"

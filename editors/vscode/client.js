// How the extension runs the language server: the command (setting `vrel.server.path`, vrel-lsp
// by default) speaking over its standard input and output, for Vrel files and unsaved Vrel
// buffers. It needs nothing of VS Code, so that a test outside VS Code starts the server alike.
"use strict";

function serverOptions(command) {
  return { command: command || "vrel-lsp", args: [] };
}

const clientOptions = {
  documentSelector: [
    { scheme: "file", language: "vrel" },
    { scheme: "untitled", language: "vrel" },
  ],
};

module.exports = { serverOptions, clientOptions };

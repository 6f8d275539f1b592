// The Vrel extension: package.json gives the highlighting and the problem matcher `$vrelc`; this
// starts the language server through VS Code's LSP client when the first Vrel file opens.
"use strict";
const vscode = require("vscode");
const { LanguageClient } = require("vscode-languageclient/node");
const { serverOptions, clientOptions } = require("./client");

let client;

function activate() {
  const command = vscode.workspace.getConfiguration("vrel").get("server.path");
  client = new LanguageClient("vrel", "Vrel language server", serverOptions(command),
                              clientOptions);
  return client.start();
}

function deactivate() {
  return client && client.stop();
}

module.exports = { activate, deactivate };

// vscode_client.js EXTENSION: run by vscode-client.sh in a scratch copy of the VS Code extension
// after `npm ci`. VS Code's LanguageClient itself needs VS Code's API; this starts the server as
// the extension's client.js tells the LanguageClient to, and talks to it through vscode-jsonrpc,
// the protocol layer the LanguageClient uses: average.vrel, whose line 7 reads an undefined name,
// gets that diagnostic; mended, none; then hover and definition of `total`; shutdown and exit.
"use strict";
const assert = require("assert");
const fs = require("fs");
const path = require("path");
const { createRequire } = require("module");
const { spawn } = require("child_process");

const extension = path.resolve(process.argv[2]);
const load = createRequire(path.join(extension, "package.json"));
const rpc = load("vscode-jsonrpc/node");
const { serverOptions, clientOptions } = load("./client.js");

async function session() {
  const options = serverOptions();
  const server = spawn(options.command, options.args, { stdio: ["pipe", "pipe", "inherit"] });
  const exited = new Promise((resolve) => server.on("exit", (code) => resolve(code)));
  const connection = rpc.createMessageConnection(new rpc.StreamMessageReader(server.stdout),
                                                 new rpc.StreamMessageWriter(server.stdin));
  const published = [];
  let wake = () => {};
  connection.onNotification("textDocument/publishDiagnostics", (params) => {
    published.push(params);
    wake();
  });
  const nextDiagnostics = () => new Promise((resolve) => {
    wake = () => resolve(published.shift());
    if (published.length) wake();
  });
  connection.listen();

  const file = path.resolve("average.vrel");
  const uri = "file://" + file;
  const text = fs.readFileSync(file, "utf8");
  const init = await connection.sendRequest("initialize", {
    processId: process.pid, rootUri: "file://" + path.dirname(file), capabilities: {},
  });
  for (const capability of ["hoverProvider", "definitionProvider"]) {
    assert.ok(init.capabilities[capability], capability);
  }
  connection.sendNotification("initialized", {});
  const language = clientOptions.documentSelector[0].language;
  connection.sendNotification("textDocument/didOpen",
                              { textDocument: { uri, languageId: language, version: 1, text } });
  let diagnostics = await nextDiagnostics();
  assert.strictEqual(diagnostics.uri, uri);
  // Line 7 begins with a tab, one UTF-16 unit: `totl` is at 0-based character 9 of line 6.
  assert.deepStrictEqual(diagnostics.diagnostics.map((d) => [d.range, d.severity, d.message]),
                         [[{ start: { line: 6, character: 9 }, end: { line: 6, character: 13 } },
                           1, "undefined variable totl"]]);

  connection.sendNotification("textDocument/didChange", {
    textDocument: { uri, version: 2 },
    contentChanges: [{ text: text.replace("totl", "total") }],
  });
  diagnostics = await nextDiagnostics();
  assert.deepStrictEqual(diagnostics.diagnostics, []);

  // `total` in line 8, `  writeInteger(total);`
  const at = { textDocument: { uri }, position: { line: 7, character: 16 } };
  const hover = await connection.sendRequest("textDocument/hover", at);
  const shown = JSON.stringify(hover.contents);
  assert.ok(shown.includes("total : int"), shown);
  let definition = await connection.sendRequest("textDocument/definition", at);
  definition = [].concat(definition)[0];
  assert.strictEqual(definition.uri || definition.targetUri, uri);
  const range = definition.range || definition.targetSelectionRange;
  assert.deepStrictEqual(range.start, { line: 1, character: 2 });

  assert.strictEqual(await connection.sendRequest("shutdown"), null);
  connection.sendNotification("exit");
  assert.strictEqual(await exited, 0);
  connection.dispose();
}

const limit = setTimeout(() => {
  console.error("no answer within 20 s");
  process.exit(1);
}, 20000);
session().then(() => {
  clearTimeout(limit);
  console.log("diagnostic, hover, definition, shutdown and exit as expected");
}, (error) => {
  console.error(error);
  process.exit(1);
});

// vscode_matcher.js PACKAGE_JSON_IN: run by run.sh in a scratch folder. The problem matcher
// `vrelc` of the VS Code extension, applied line by line as VS Code applies it, reads exactly the
// GNU line of vrelc's location block for average.vrel, whose line 7 reads an undefined name.
"use strict";
const assert = require("assert");
const fs = require("fs");
const { spawnSync } = require("child_process");

const manifest = JSON.parse(fs.readFileSync(process.argv[2], "utf8").replace(/@\w+@/g, "0"));
const matcher = manifest.contributes.problemMatchers.find((m) => m.name === "vrelc");
const pattern = matcher.pattern;
const run = spawnSync("vrelc", ["-o", "average", "average.vrel"], {
  env: { ...process.env, VRELC_DIAGNOSTICS: "always" },
  encoding: "utf8",
  timeout: 20000,
});
assert.strictEqual(run.status, 1, run.stderr);
const found = run.stderr.split("\n").flatMap((line) => {
  const m = new RegExp(pattern.regexp).exec(line);
  return m ? [[m[pattern.file], +m[pattern.line], +m[pattern.column], m[pattern.severity],
               m[pattern.message]]] : [];
});
assert.deepStrictEqual(found, [["average.vrel", 7, 10, "error", "undefined variable totl"]]);
console.log("the problem matcher reads", JSON.stringify(found));

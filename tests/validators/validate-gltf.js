// Validates glTF and GLB files with the Khronos glTF validator; prints one line per file with
// its counts of errors and warnings, and the error messages. Exits 1 when any file has an error.
// usage: node validate-gltf.js FILE...
const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');

async function validate(file) {
  const bytes = new Uint8Array(fs.readFileSync(file));
  const report = await validator.validateBytes(bytes, {
    uri: path.basename(file),
    externalResourceFunction: (uri) =>
      Promise.resolve(new Uint8Array(fs.readFileSync(path.join(path.dirname(file), uri)))),
  });
  const issues = report.issues;
  console.log(`${path.basename(file)}: ${issues.numErrors} errors, ${issues.numWarnings} warnings`);
  for (const message of issues.messages) {
    if (message.severity === 0) console.log(`  ${message.code}: ${message.message} ${message.pointer || ''}`);
  }
  return issues.numErrors === 0;
}

(async () => {
  let ok = true;
  for (const file of process.argv.slice(2)) ok = (await validate(file)) && ok;
  process.exit(ok ? 0 : 1);
})();

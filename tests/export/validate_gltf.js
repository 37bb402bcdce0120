// Validates a glTF or GLB file with the Khronos glTF validator and prints its
// report's issues; exits 1 when the validator finds any error (or cannot run).
// Usage: node validate_gltf.js VALIDATOR_FOLDER FILE
const path = require('path');
const fs = require('fs');

const [folder, file] = process.argv.slice(2);
const validator = require(path.join(path.resolve(folder), 'node_modules', 'gltf-validator'));

validator.validateBytes(new Uint8Array(fs.readFileSync(file)), { uri: path.basename(file), maxIssues: 0 })
  .then((report) => {
    const issues = report.issues;
    for (const message of issues.messages) {
      const severity = ['error', 'warning', 'info', 'hint'][message.severity] || message.severity;
      console.log(`${severity}: ${message.code} ${message.pointer || ''} ${message.message}`);
    }
    console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ` +
                `${issues.numInfos} infos, ${issues.numHints} hints (validator ${report.validatorVersion})`);
    process.exit(issues.numErrors === 0 ? 0 : 1);
  })
  .catch((error) => {
    console.log(`${file}: the validator failed: ${error}`);
    process.exit(1);
  });

// h3-js's latLngToCell over the same million points as coverage_bench.cpp
// (coverage_points.cjs), at resolution 9: binning
// alone, and binning with a count per cell as the density map needs.
// Usage: node coverage_h3.cjs H3JS_INSTALL_DIR [N]
const path = require("path");
const h3 = require(path.join(process.argv[2], "node_modules", "h3-js"));
const n = Number(process.argv[3] || 1000000);

const { lat, lng } = require("./coverage_points.cjs").points(n);

// Best of three, as wall and CPU time: on a shared machine the CPU time is the
// figure to compare with Google Benchmark's.
function best(label, run) {
  let wall = Infinity, cpu = Infinity, result;
  for (let rep = 0; rep < 3; ++rep) {
    const t0 = process.hrtime.bigint(), c0 = process.cpuUsage();
    result = run();
    const c = process.cpuUsage(c0);
    wall = Math.min(wall, Number(process.hrtime.bigint() - t0) / 1e6);
    cpu = Math.min(cpu, (c.user + c.system) / 1e3);
  }
  console.log(`${label}: ${wall.toFixed(0)} ms wall, ${cpu.toFixed(0)} ms CPU (${result})`);
}

best("h3-js latLngToCell", () => {
  let last = "";
  for (let i = 0; i < n; ++i) last = h3.latLngToCell(lat[i], lng[i], 9);
  return `last ${last}`;
});
best("h3-js latLngToCell + count per cell", () => {
  const counts = new Map();
  for (let i = 0; i < n; ++i) {
    const c = h3.latLngToCell(lat[i], lng[i], 9);
    counts.set(c, (counts.get(c) || 0) + 1);
  }
  return `${counts.size} cells`;
});
console.log(`checksum ${lng.reduce((a, b) => a + b, 0).toFixed(6)} ${lat.reduce((a, b) => a + b, 0).toFixed(6)}`);

// The benchmark points shared by coverage_bench.cpp and coverage_h3.cjs:
// xorshift32 from a fixed seed, longitude then latitude, in a 1 x 1 degree
// box over Beijing. Run directly to write them as a station table:
//   node coverage_points.cjs N FILE
function points(n) {
  const lat = new Float64Array(n), lng = new Float64Array(n);
  let x = 2463534242;
  const next = () => {
    x ^= x << 13; x >>>= 0;
    x ^= x >>> 17;
    x ^= x << 5; x >>>= 0;
    return x / 4294967296;
  };
  for (let i = 0; i < n; ++i) {
    lng[i] = 116.0 + next();
    lat[i] = 39.5 + next();
  }
  return { lat, lng };
}
module.exports = { points };

if (require.main === module) {
  const n = Number(process.argv[2]);
  const { lat, lng } = points(n);
  const lines = ["站名\t经度\t纬度"];
  for (let i = 0; i < n; ++i) lines.push(`S${i}\t${lng[i]}\t${lat[i]}`);
  require("fs").writeFileSync(process.argv[3], lines.join("\n") + "\n");
}

#!/usr/bin/python3
"""Layer matching and buffer grouping, side by side with GeoPandas and scikit-learn.

  /usr/bin/python3 bench/analysis_compare.py [--cli PATH] [--points N] [--polygons N]
  /usr/bin/python3 bench/analysis_compare.py --check --cli PATH   # quick partition check (ctest)

Matching: N points against polygons of about 40 vertices with a 100 m buffer,
plotvane-cli match (whole run: read the table and the GeoJSON layer, match,
write the result) against GeoPandas' spatial join doing only the containment
part on data already in memory. Grouping: N clustered points at 100 m,
plotvane-cli group (whole run) against scikit-learn's DBSCAN (min_samples=1,
haversine, ball tree) fitting data already in memory; the two partitions must
agree.
"""
import argparse
import os
import resource
import subprocess
import sys
import tempfile
import time

import numpy as np

EARTH_RADIUS_M = 6371000.0
M_PER_DEG = EARTH_RADIUS_M * np.pi / 180


def make_polygons(rng, count, vertices=40):
    """Star-shaped polygons of 200-800 m around random centres in a 2x2 degree area."""
    cx = rng.uniform(115.5, 117.5, count)
    cy = rng.uniform(39.0, 41.0, count)
    radius = rng.uniform(200, 800, count)[:, None] * rng.uniform(0.6, 1.0, (count, vertices))
    angle = np.linspace(0, 2 * np.pi, vertices, endpoint=False)[None, :]
    lon = cx[:, None] + radius * np.cos(angle) / (M_PER_DEG * np.cos(np.radians(cy[:, None])))
    lat = cy[:, None] + radius * np.sin(angle) / M_PER_DEG
    return cx, cy, lon, lat


def make_match_points(rng, count, cx, cy):
    """Half near polygon centres, half anywhere in the area."""
    near = count // 2
    pick = rng.integers(0, len(cx), near)
    lon = np.concatenate([cx[pick] + rng.normal(0, 0.006, near), rng.uniform(115.5, 117.5, count - near)])
    lat = np.concatenate([cy[pick] + rng.normal(0, 0.005, near), rng.uniform(39.0, 41.0, count - near)])
    return lon, lat


def make_clustered_points(rng, count, clusters):
    """Sites in clusters: centres over a 2x2 degree area, points spread ~150 m around them."""
    cx = rng.uniform(115.5, 117.5, clusters)
    cy = rng.uniform(39.0, 41.0, clusters)
    pick = rng.integers(0, clusters, count)
    lat = cy[pick] + rng.normal(0, 150, count) / M_PER_DEG
    lon = cx[pick] + rng.normal(0, 150, count) / (M_PER_DEG * np.cos(np.radians(lat)))
    return lon, lat


def write_points(path, lon, lat):
    with open(path, "w") as f:
        f.write("id\tlon\tlat\n")
        for i, (x, y) in enumerate(zip(lon, lat)):
            f.write("P%d\t%.8f\t%.8f\n" % (i, x, y))


def write_geojson(path, lon, lat):
    with open(path, "w") as f:
        f.write('{"type": "FeatureCollection", "features": [\n')
        for i in range(lon.shape[0]):
            ring = ", ".join("[%.8f, %.8f]" % (x, y) for x, y in zip(lon[i], lat[i]))
            ring += ", [%.8f, %.8f]" % (lon[i][0], lat[i][0])
            sep = ",\n" if i + 1 < lon.shape[0] else "\n"
            f.write('{"type": "Feature", "properties": {"name": "Z%d", "code": %d}, '
                    '"geometry": {"type": "Polygon", "coordinates": [[%s]]}}%s' % (i, i, ring, sep))
        f.write("]}\n")


class Timer:
    """Wall-clock and CPU seconds (of this process, or of the children it waited for)."""

    def __init__(self, children=False):
        self.children = children

    def cpu(self):
        if self.children:
            u = resource.getrusage(resource.RUSAGE_CHILDREN)
            return u.ru_utime + u.ru_stime
        return time.process_time()

    def __enter__(self):
        self.wall0, self.cpu0 = time.perf_counter(), self.cpu()
        return self

    def __exit__(self, *exc):
        self.wall, self.cpu_s = time.perf_counter() - self.wall0, self.cpu() - self.cpu0

    def __str__(self):
        return "%7.3f s wall %7.3f s CPU" % (self.wall, self.cpu_s)


def default_cli():
    """plotvane-cli of the native build beside this folder."""
    return os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build", "linux", "cli", "plotvane-cli")


def run_cli(cli, args):
    with Timer(children=True) as t:
        r = subprocess.run([cli] + args, capture_output=True)
    if r.returncode != 0:
        sys.exit("plotvane-cli failed: " + r.stderr.decode("utf-8", "replace"))
    return t, r.stderr.decode("utf-8").strip()


def read_column(path, name):
    with open(path, encoding="utf-8") as f:
        header = f.readline().rstrip("\n").split("\t")
        k = header.index(name)
        return np.array([int(line.rstrip("\n").split("\t")[k]) for line in f])


def canonical(labels):
    """Labels renumbered from 0 in order of first appearance (the partition itself)."""
    seen = {}
    return np.array([seen.setdefault(v, len(seen)) for v in labels])


def dbscan_labels(lon, lat, metres):
    from sklearn.cluster import DBSCAN
    X = np.radians(np.column_stack([lat, lon]))
    with Timer() as t:
        labels = DBSCAN(eps=metres / EARTH_RADIUS_M, min_samples=1, metric="haversine",
                        algorithm="ball_tree").fit(X).labels_
    return t, labels


def bench_group(cli, tmp, rng, count, metres=100.0):
    lon, lat = make_clustered_points(rng, count, max(1, count // 100))
    pts = os.path.join(tmp, "group_points.tsv")
    out = os.path.join(tmp, "group_out.tsv")
    write_points(pts, lon, lat)
    kit_s, message = run_cli(cli, ["group", pts, "--distance", "%g" % metres, "-o", out])
    kit_labels = read_column(out, "clusterid")
    sk_s, sk_labels = dbscan_labels(lon, lat, metres)
    same = np.array_equal(canonical(kit_labels), canonical(sk_labels))
    return kit_s, sk_s, message.replace("\n", " "), same, len(set(kit_labels)), len(set(sk_labels))


def bench_match(cli, tmp, rng, points, polygons, buffer_m=100.0):
    import geopandas as gpd
    from shapely.geometry import Polygon

    cx, cy, plon, plat = make_polygons(rng, polygons)
    lon, lat = make_match_points(rng, points, cx, cy)
    pts = os.path.join(tmp, "match_points.tsv")
    layer = os.path.join(tmp, "match_layer.geojson")
    out = os.path.join(tmp, "match_out.tsv")
    write_points(pts, lon, lat)
    write_geojson(layer, plon, plat)
    kit_s, message = run_cli(cli, ["match", pts, "--layer", layer, "--buffer", "%g" % buffer_m, "--method", "merge",
                                   "-o", out])

    with Timer() as build_s:
        gpts = gpd.GeoDataFrame({"id": np.arange(points)}, geometry=gpd.points_from_xy(lon, lat), crs="EPSG:4326")
        gpolys = gpd.GeoDataFrame({"name": ["Z%d" % i for i in range(polygons)]},
                                  geometry=[Polygon(np.column_stack([plon[i], plat[i]])) for i in range(polygons)],
                                  crs="EPSG:4326")
    with Timer() as gp_s:
        joined = gpd.sjoin(gpts, gpolys, how="left", predicate="within")
    inside_gp = set(joined.index[joined["index_right"].notna()])

    # Rows at distance 0.00 (the nearest match, merged): every row GeoPandas
    # finds within a polygon, plus any that lie outside but within 5 mm of an edge.
    with open(out, encoding="utf-8") as f:
        f.readline()
        zero = {int(line.split("\t", 1)[0][1:]) for line in f if line.rstrip("\n").endswith("\t0.00")}
    missing = len(inside_gp - zero)
    edge = 0
    for i in zero - inside_gp:
        p = gpts.geometry.iloc[i]
        near = gpolys.geometry.iloc[gpolys.sindex.query(p.buffer(1e-6))]
        edge += any(g.exterior.distance(p) * M_PER_DEG < 0.005 for g in near)
    return kit_s, gp_s, build_s, message, len(inside_gp), missing, edge, len(zero - inside_gp)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", default=default_cli())
    ap.add_argument("--points", type=int, default=200000)
    ap.add_argument("--polygons", type=int, default=10000)
    ap.add_argument("--check", action="store_true", help="only the partition check, on 10 000 points")
    a = ap.parse_args()
    rng = np.random.default_rng(20240601)
    with tempfile.TemporaryDirectory() as tmp:
        if a.check:
            kit_s, sk_s, message, same, kg, sg = bench_group(a.cli, tmp, rng, 10000)
            print("group 10000 points: kit %d groups, DBSCAN %d groups, partitions %s" %
                  (kg, sg, "agree" if same else "DIFFER"))
            return 0 if same else 1

        print("matching %d points against %d polygons of 40 vertices, buffer 100 m" % (a.points, a.polygons))
        kit_s, gp_s, build_s, message, inside, missing, edge, extra = bench_match(a.cli, tmp, rng, a.points,
                                                                                  a.polygons)
        print("  plotvane-cli match --method merge (read, match, write)  %s   %s" % (kit_s, message))
        print("  GeoPandas sjoin within (in memory, containment only)    %s" % gp_s)
        print("  (building GeoPandas' frames from arrays, not counted:   %s)" % build_s)
        match_ok = missing == 0 and edge == extra
        print("  %d points within a polygon by GeoPandas, %d of them not at 0.00 by the kit; %d more at 0.00, "
              "%d of them within 5 mm of an edge: %s" % (inside, missing, extra, edge, "agree" if match_ok else "DIFFER"))

        print("grouping %d clustered points at 100 m" % a.points)
        kit_s, sk_s, message, same, kg, sg = bench_group(a.cli, tmp, rng, a.points)
        print("  plotvane-cli group (read, group, write)                 %s   %s" % (kit_s, message))
        print("  DBSCAN min_samples=1 haversine ball tree (fit only)     %s   %d groups" % (sk_s, sg))
        print("  partitions %s" % ("agree" if same else "DIFFER"))
        return 0 if same and match_ok else 1


if __name__ == "__main__":
    sys.exit(main())

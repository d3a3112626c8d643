#pragma once
// The drive-test KML: one small circle per measured point, filled with the
// colour of the value's range.
#include <string>
#include <vector>

#include "batchkml/color_template.h"
#include "batchkml/kml_text.h"
#include "core/geodesy.h"

namespace kit {

struct DataTable;

struct DriveTestPoint {
    int rangeIndex = 0;
    double value = 0;
    double lat = 0;
    double lon = 0;
};

// Destination points at a fixed distance from one point on the 6371 km
// sphere, by bearing (radians clockwise from north).
class SphereDestinations {
public:
    SphereDestinations(double lonDeg, double latDeg, double radiusMetres);
    LonLat at(double bearingRad) const;
    // The same with the bearing's sine and cosine already known.
    LonLat at(double sinBearing, double cosBearing) const;

private:
    double lambda1_, sinPhi1_, cosPhi1_, sinD_, cosD_;
};

// count vertices around the point at the radius (first due north, clockwise)
// on the 6371 km sphere, then the first again: count + 1 pairs.
std::vector<LonLat> circlePolygon(double lonDeg, double latDeg, double radiusMetres, int count);
// The same into a reused vector.
void circlePolygon(double lonDeg, double latDeg, double radiusMetres, int count, std::vector<LonLat>& ring);

// The usable rows in order: all three cells present and numeric, and a range found.
std::vector<DriveTestPoint> driveTestPoints(const DataTable& table, int lonCol, int latCol, int valueCol,
                                            const std::vector<ColorRange>& ranges);

// The whole document; the template's name is not used, only its ranges.
std::string writeDriveTestKml(const DataTable& table, int lonCol, int latCol, int valueCol,
                              const ColorTemplate& tmpl, double sizeMetres);
// The same document handed to the sink in pieces of about a megabyte, so a
// long drive (some 2 KB a point) is never held whole. False when the sink
// refused a piece.
bool writeDriveTestKml(const DataTable& table, int lonCol, int latCol, int valueCol, const ColorTemplate& tmpl,
                       double sizeMetres, const TextSink& sink);

}  // namespace kit

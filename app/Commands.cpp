#include "Commands.h"

#include <iterator>

#include "Formats.h"
#include "Vandrel.h"

namespace {

const Command table[] = {
    {"polygon", 1, -1, "NAME X Y [X Y]...", "write a polygon in the plane z = 1",
     [](Vandrel& v, Words w) { v.polygon(polygonArguments(w, false)); },
     "X Y: the vertices, decimal numbers, in order; at least one.\nWrites NAME.poly: one object, "
     "lead record -1 -1 2 1, vertices X Y 1 1 as typed.",
     "vandrel polygon sq 0 0 1 0 1 1 0 1"},
    {"polygonC", 4, -1, "NAME A B C X Y [X Y]...", "the same, with the lead record A B C 1",
     [](Vandrel& v, Words w) { v.polygon(polygonArguments(w, true)); },
     "A B C: the lead record, read as a colour (red, green, blue, each 0 to 1) by export,\n"
     "render, view and info; other values are kept as data without colour. X Y: as\n"
     "polygon's. Writes NAME.poly.",
     "vandrel polygonC sq 0.8 0.2 0.1 0 0 1 0 1 1 0 1"},
    {"circle", 3, 6, "NAME RADIUS SEGMENTS [R G B]",
     "write a regular polygon of SEGMENTS vertices on a circle about the origin, at z = 1",
     [](Vandrel& v, Words w) { v.circle(circleArguments(w)); },
     "RADIUS: more than 0. SEGMENTS: a whole number from 3 to 10,000,000. R G B: a colour,\neach 0 "
     "to 1, written as polygonC's lead record. Counter-clockwise from (RADIUS, 0).\nWrites "
     "NAME.poly.",
     "vandrel circle disc 5 64"},
    {"assemble", 2, -1, "INPUT... OUTPUT", "join model files into one",
     [](Vandrel& v, Words w) { v.assemble(assembleArguments(w)); },
     "INPUT: model names, read in order; their lines are copied as text.\nWrites OUTPUT.poly; "
     "where an input cannot be read, nothing.",
     "vandrel assemble base roof house"},
    {"union", 3, -1, "INPUT... OUTPUT", "the solids of two or more models united",
     [](Vandrel& v, Words w) { v.combine(booleanArguments(w, ExactSolid::Operation::unite)); },
     "INPUT: two or more models, each a set of closed solids (parts that do not "
     "cross\nthemselves). Uncut faces are kept; cut ones come out as their pieces, each with "
     "its\nface's lead record. Writes OUTPUT.poly, closed and outward.",
     "vandrel union plate peg part"},
    {"difference", 3, -1, "BASE CUTTER... OUTPUT", "the solids of BASE less those of every CUTTER",
     [](Vandrel& v, Words w) { v.combine(booleanArguments(w, ExactSolid::Operation::subtract)); },
     "BASE, CUTTER: closed solids, as union takes them; BASE less every CUTTER.\nWrites "
     "OUTPUT.poly, closed and outward.",
     "vandrel difference plate hole1 hole2 holed"},
    {"intersection", 3, -1, "INPUT... OUTPUT", "what the solids of two or more models share",
     [](Vandrel& v, Words w) { v.combine(booleanArguments(w, ExactSolid::Operation::intersect)); },
     "INPUT: two or more models of closed solids; what all of them share.\nWrites OUTPUT.poly, "
     "closed and outward (empty where they share nothing).",
     "vandrel intersection a b common"},
    {"transform", 1, -1, "NAME [KEYWORD VALUE]...", "move, scale and turn a model in place",
     [](Vandrel& v, Words w) { v.transform(transformArguments(w, false)); },
     "KEYWORD VALUE: XT YT ZT translate by VALUE; XS YS ZS US scale (US: all axes); XD YD ZD\nturn "
     "by VALUE degrees, XR YR ZR by radians, about the axis through the origin. Applied\nin order. "
     "Rewrites NAME.poly.",
     "vandrel transform house XT 2 ZD 90"},
    {"create", 2, -1, "NEW SOURCE [KEYWORD VALUE]...", "the same, written to a new model",
     [](Vandrel& v, Words w) { v.transform(transformArguments(w, true)); },
     "KEYWORD VALUE: as transform's. Writes NEW.poly; SOURCE.poly is not touched.",
     "vandrel create big house US 2"},
    {"extrude", 3, 3, "SOURCE OUTPUT DEPTH", "turn every polygon into a prism",
     [](Vandrel& v, Words w) { v.extrude(extrudeArguments(w)); },
     "DEPTH: a number, not 0: how far the top is moved along each polygon's normal\n(negative: "
     "against it). Writes OUTPUT.poly: per polygon a base, a top and a side per edge.",
     "vandrel extrude sq box 2"},
    {"revolve", 10, 10, "SOURCE OUTPUT AX AY AZ CX CY CZ STEPS ANGLE",
     "sweep every profile about an axis through ANGLE degrees in STEPS steps into a solid",
     [](Vandrel& v, Words w) { v.revolve(revolveArguments(w)); },
     "AX AY AZ: the axis direction, not zero; CX CY CZ: a point on it. STEPS: a whole number\nfrom "
     "1 (3 for a full turn) to 1,000,000. ANGLE: degrees, more than 0, at most 360,\nright-handed. "
     "Each profile lies in a plane through the axis, on one side of it.\nWrites OUTPUT.poly: "
     "closed, outward solids.",
     "vandrel revolve profile ring 0 0 1 0 0 0 36 360"},
    {"clip", 8, 9, "SOURCE OUTPUT NX NY NZ PX PY PZ [--cap]",
     "keep what lies on the normal's side of a plane; --cap closes the cut solids",
     [](Vandrel& v, Words w) { v.clip(clipArguments(w)); },
     "NX NY NZ: the plane's normal, not zero; PX PY PZ: a point on it. What lies on the\nnormal's "
     "side is kept. --cap (anywhere after the command word): every closed solid the\nplane cuts is "
     "closed by caps in the plane. Writes OUTPUT.poly.",
     "vandrel clip box half 1 0 0 0.5 0 0 --cap"},
    {"rot", 10, 10, "SOURCE OUTPUT AX AY AZ CX CY CZ COUNT TOTAL",
     "place COUNT copies turned about an axis over TOTAL degrees",
     [](Vandrel& v, Words w) { v.rot(rotArguments(w)); },
     "AX AY AZ, CX CY CZ: the axis, as revolve's. COUNT: copies, a whole number from 1; "
     "TOTAL:\ndegrees over which they are spread. Writes OUTPUT.poly: the copies, one after "
     "another.",
     "vandrel rot sq ring 0 0 1 0 0 0 4 360"},
    {"export", 2, 4, "SOURCE FILE [--weld DISTANCE]", "write a model as FORMATS",
     [](Vandrel& v, Words w) { v.exportFile(exportArguments(w)); },
     "FILE: its extension chooses the format, one of FORMATS.\n"
     "--weld DISTANCE: positions closer than DISTANCE are one vertex (default 1e-5 of the\n"
     "model's largest side; 0: equal positions only).\n"
     "Writes FILE (and the .mtl of an .obj): faces outward (a hollow's into it), an object\n"
     "(3MF, OBJ) or a mesh (glTF) per solid (a part with its hollows).",
     "vandrel export house house.stl"},
    {"import", 2, 2, "FILE NAME", "read a model from one of those formats, a face an object",
     [](Vandrel& v, Words w) { v.importFile(importArguments(w)); },
     "FILE: one of FORMATS, by its extension. Writes NAME.poly: one object per face, its\ncolour "
     "as the lead record.",
     "vandrel import part.stl part"},
    {"render", 2, 8, "SOURCE PICTURE [--view VIEW] [--size WIDTHxHEIGHT] [--weld DISTANCE]",
     "draw a model into a .png or .svg picture; VIEW is iso, top, front, side or AZ,EL",
     [](Vandrel& v, Words w) { v.render(renderArguments(w)); },
     "PICTURE: a .png or .svg file. --view: iso, top, front, side or AZIMUTH,ELEVATION in\ndegrees "
     "(default iso). --size WIDTHxHEIGHT: each 1 to 16384 (default 800x600).\n--weld DISTANCE: as "
     "export's. Writes PICTURE.",
     "vandrel render house house.png --view top"},
    {"view", 2, 4, "SOURCE PAGE.html [--weld DISTANCE]",
     "write a web page that shows a model in 3D, with its figures",
     [](Vandrel& v, Words w) { v.view(viewArguments(w)); },
     "PAGE.html: one self-contained file; open it in a browser, no network needed. Drag to\n"
     "turn the model, wheel to zoom, right or shift drag to pan. Shows the model's colours,\n"
     "Z up, and info's figures beside it. --weld DISTANCE: as export's. Writes PAGE.html.",
     "vandrel view house house.html"},
    {"info", 1, 3, "SOURCE [--weld DISTANCE]",
     "print what is in a model: counts, bounds, area, parts, closed, volume",
     [](Vandrel& v, Words w) { v.info(infoArguments(w)); },
     "--weld DISTANCE: as export's. Prints objects, vertices, bounds, area, no-area, "
     "colours,\nparts, open-edges, touching-edges, inward-faces, closed and volume, one per line.",
     "vandrel info box"},
};

}  // namespace

CommandList allCommands() { return {std::begin(table), std::end(table)}; }

const Command* commandNamed(const QString& word) {
  for (const Command& command : allCommands()) {
    if (word == QLatin1String(command.word)) return &command;
  }
  return nullptr;
}

QString withFormats(const char* text) {
  return QString::fromLatin1(text).replace(QStringLiteral("FORMATS"), formatList());
}

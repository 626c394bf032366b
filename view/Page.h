#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What a view page shows: the model as a binary glTF, its name, and figures to list beside it.
struct PageContent {
  QString title;
  std::string_view glb;
  std::vector<std::pair<QString, QString>> figures;  // name, value
};

// One self-contained HTML page: the model in 3D (drag to turn it about its centre, wheel to
// zoom, right or shift drag to pan), in its colours, lit from the viewer, Z up; the figures in
// a panel beside it. The viewer library and the model are in the page, base64 for the model;
// the page asks for nothing from outside itself.
std::string viewPage(const PageContent& content);

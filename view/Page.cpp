#include "Page.h"

#include <QByteArray>

#include "Scripts.h"

namespace {

const char style[] = R"(
html, body { margin: 0; height: 100%; overflow: hidden; background: #f2f2ef; color: #222;
  font: 14px/1.45 system-ui, sans-serif; }
#view { position: absolute; inset: 0 17em 0 0; }
aside { position: absolute; inset: 0 0 0 auto; width: 16em; padding: 0.75em; overflow: auto;
  background: #fff; border-left: 1px solid #d8d8d4; }
h1 { font-size: 1.1em; margin: 0 0 0.6em; overflow-wrap: anywhere; }
dl { display: grid; grid-template-columns: auto 1fr; gap: 0.15em 0.8em; margin: 0; }
dt { color: #666; }
dd { margin: 0; font-variant-numeric: tabular-nums; overflow-wrap: anywhere; }
p { color: #666; font-size: 0.9em; }
)";

// Loads the modules from the page's own text through blob URLs (the loader and the controls
// import 'three', the loader its helpers, by name), reads the model and shows it.
const char program[] = R"(
(async () => {
  const text = (id) => document.getElementById(id).textContent;
  const module = (source) => URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
  const three = module(text('three'));
  const bound = (source) => source.replaceAll("from 'three'", `from '${three}'`);
  const utils = module(bound(text('geometry-utils')));
  const loader = module(bound(text('gltf-loader'))
    .replaceAll("from '../utils/BufferGeometryUtils.js'", `from '${utils}'`));
  const controlsModule = module(bound(text('orbit-controls')));
  const THREE = await import(three);
  const { GLTFLoader } = await import(loader);
  const { OrbitControls } = await import(controlsModule);

  const base64 = atob(text('model').trim());
  const bytes = new Uint8Array(base64.length);
  for (let i = 0; i < base64.length; ++i) bytes[i] = base64.charCodeAt(i);
  const gltf = await new GLTFLoader().parseAsync(bytes.buffer, '');

  const container = document.getElementById('view');
  const renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true });
  renderer.setPixelRatio(window.devicePixelRatio);
  container.appendChild(renderer.domElement);
  const scene = new THREE.Scene();
  scene.background = new THREE.Color(0xf2f2ef);
  scene.add(new THREE.HemisphereLight(0xffffff, 0x606060, 0.9));
  const camera = new THREE.PerspectiveCamera(35, 1, 0.001, 10);
  const light = new THREE.DirectionalLight(0xffffff, 1.7);  // over the viewer's shoulder
  light.position.set(0.4, 0.6, 0);
  light.target.position.set(0, 0, -1);
  camera.add(light, light.target);
  scene.add(camera);
  gltf.scene.traverse((node) => {
    if (node.isMesh) node.material.side = THREE.DoubleSide;  // open parts show their inside
  });
  scene.add(gltf.scene);

  // From +x, -y, +z of the model (glTF's +x, +y, +z), its bounding sphere filling the view.
  const box = new THREE.Box3().setFromObject(gltf.scene);
  const centre = box.isEmpty() ? new THREE.Vector3() : box.getCenter(new THREE.Vector3());
  const radius = box.isEmpty() ? 1 : Math.max(box.getSize(new THREE.Vector3()).length() / 2, 1e-9);
  const distance = radius / Math.sin(THREE.MathUtils.degToRad(camera.fov / 2)) * 1.05;
  camera.near = distance / 100;
  camera.far = distance * 100;
  camera.position.copy(centre).add(new THREE.Vector3(1, 1, 1).normalize().multiplyScalar(distance));
  const controls = new OrbitControls(camera, renderer.domElement);
  controls.target.copy(centre);
  controls.screenSpacePanning = true;
  controls.maxDistance = distance * 20;

  const draw = () => renderer.render(scene, camera);
  const fit = () => {
    const width = container.clientWidth, height = container.clientHeight;
    renderer.setSize(width, height);
    camera.aspect = width / Math.max(height, 1);
    camera.updateProjectionMatrix();
    draw();
  };
  controls.addEventListener('change', draw);
  window.addEventListener('resize', fit);
  controls.update();
  fit();
  document.body.dataset.ready = 'yes';
})().catch((error) => {
  document.getElementById('view').textContent = 'This page cannot show the model: ' + error;
  document.body.dataset.ready = 'failed';
  throw error;
});
)";

QString escaped(const QString& text) { return text.toHtmlEscaped(); }

void script(std::string& page, const char* id, std::string_view source) {
  page += "<script type=\"text/plain\" id=\"";
  page += id;
  page += "\">";
  page += source;
  page += "</script>\n";
}

}  // namespace

std::string viewPage(const PageContent& content) {
  const ViewerScripts& scripts = viewerScripts();
  const QByteArray model =
      QByteArray::fromRawData(content.glb.data(), static_cast<qsizetype>(content.glb.size()))
          .toBase64();
  std::string page;
  page.reserve(static_cast<size_t>(model.size()) + scripts.three.size() + 200000);
  page += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
  page += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
  page += "<meta name=\"generator\" content=\"vandrel\">\n";
  page += "<title>" + escaped(content.title).toStdString() + "</title>\n";
  page += "<style>";
  page += style;
  page += "</style>\n</head>\n<body>\n<div id=\"view\"></div>\n<aside>\n<h1>";
  page += escaped(content.title).toStdString();
  page += "</h1>\n<dl>\n";
  for (const auto& [name, value] : content.figures) {
    page += "<dt>" + escaped(name).toStdString() + "</dt><dd>" + escaped(value).toStdString() +
            "</dd>\n";
  }
  page += "</dl>\n<p>Drag to turn, wheel to zoom, right or shift drag to pan.</p>\n</aside>\n";
  page += "<!-- The viewer: three.js (https://threejs.org), under this licence:\n";
  page += scripts.licence;
  page += "-->\n";
  script(page, "three", scripts.three);
  script(page, "geometry-utils", scripts.geometryUtils);
  script(page, "gltf-loader", scripts.gltfLoader);
  script(page, "orbit-controls", scripts.orbitControls);
  page += "<script type=\"text/plain\" id=\"model\">";
  page.append(model.constData(), static_cast<size_t>(model.size()));
  page += "</script>\n<script>";
  page += program;
  page += "</script>\n</body>\n</html>\n";
  return page;
}

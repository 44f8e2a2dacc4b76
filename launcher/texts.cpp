#include "launcher/texts.h"

namespace {

// Columns: German, Italian, Spanish, Portuguese.
const char* const kTexts[LAUNCHER_TEXT_COUNT][4] = {
    {"Go !", "Go !", "Go !", "Go !"},
    {"Abbrechen", "Tasto escape", "Cancelar", "Cancelar"},
    {"Anwendungstyp", "Tipo d'applicazione", "Tipo de aplicación", "Tipo de aplicação"},
    {"Glide (3DFX)", "Glide (3DFX)", "Glide (3DFX)", "Glide (3DFX)"},
    {"Direct3D", "Direct3D", "Direct3D", "Direct3D"},
    {"Direct3D-Optionen", "Opzioni Direct 3D", "Opciones Direct 3D", "Opções Direct 3D"},
    {"Dithering", "Dithering", "Dithering", "Dithering"},
    {"Filtering", "Filtering", "Filtering", "Filtering"},
    {"Beenden", "Uscire", "Salir", "Sair"},
    {"Torvane kann ohne grafische Anzeige nicht laufen.", "Torvane non può funzionare senza uno schermo grafico.",
     "Torvane no puede funcionar sin una pantalla gráfica.", "Torvane não pode funcionar sem um ecrã gráfico."},
    {"Torvane kann ohne OpenGL nicht laufen.", "Torvane non può funzionare senza OpenGL.",
     "Torvane no puede funcionar sin OpenGL.", "Torvane não pode funcionar sem OpenGL."},
    {"%s kann nicht gestartet werden.", "Impossibile avviare %s.", "No se puede iniciar %s.",
     "Não é possível iniciar %s."},
};

}  // namespace

const char* LauncherTextFor(Edition edition, LauncherTextId id) {
  if (id < 0 || id >= LAUNCHER_TEXT_COUNT) return "";
  return kTexts[id][edition];
}

#include "app/pages/audio_project_services.h"

#include "runtime/ui_strings.h"

namespace {

const BilingualText kRefusals[] = {
    {u"An audio CD holds at most 99 tracks. The files beyond the 99th were not added.",
     u"Un CD de audio admite como máximo 99 pistas. Los archivos a partir de la pista 100 no se han añadido."},
    {u"The project is longer than an audio CD can describe (99 minutes). Remove tracks or shorten the pauses.",
     u"El proyecto dura más de lo que un CD de audio puede describir (99 minutos). Quite pistas o acorte las pausas."},
    {u"There is not enough memory for the project.", u"No hay memoria suficiente para el proyecto."},
};

}  // namespace

AudioProjectServices& AudioServices() {
  static AudioProjectServices services = PlatformAudioServices();
  return services;
}

const wchar16* AudioRefusalText(AudioRefusal why) {
  return PickText(kRefusals[static_cast<u32>(why)]);
}

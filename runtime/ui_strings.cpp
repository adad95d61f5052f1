// The English and Spanish UI string tables and the lookup by string id.
// Texts are addressed by id 0..206; menu commands and job status fields use
// these ids, so the order is fixed. A tab in a menu text separates the item
// from its accelerator; trailing blanks are kept because numbers or names are
// appended to those texts.
#include "runtime/ui_strings.h"

#include <array>
#include <utility>

#include "runtime/wide_string.h"

namespace {

const wchar16* const kEnglishTexts[kUiStringCount] = {
    u"OK",  // 0
    u"Cancel",  // 1
    u"Yes",  // 2
    u"No",  // 3
    u"Retry",  // 4
    u"Ignore",  // 5
    u"Abort",  // 6
    u"Error",  // 7
    u"Warning!",  // 8
    u"Continue",  // 9
    u"Don't ask again",  // 10
    u"Desktop",  // 11
    u"My Documents",  // 12
    u"My Computer",  // 13
    u"My Network Places",  // 14
    u"Icons",  // 15
    u"List",  // 16
    u"Large List",  // 17
    u"Details",  // 18
    u"File",  // 19
    u"New Project",  // 20
    u"Data\tCtrl+N",  // 21
    u"Audio CD",  // 22
    u"Open\tCtrl+O",  // 23
    u"Save\tCtrl+S",  // 24
    u"Save as...",  // 25
    u"Save image",  // 26
    u"Exit\tAlt+F4",  // 27
    u"Edit",  // 28
    u"Undo\tCtrl+Z",  // 29
    u"Redo\tCtrl+Y",  // 30
    u"Cut\tCtrl+X",  // 31
    u"Copy\tCtrl+C",  // 32
    u"Paste\tCtrl+V",  // 33
    u"Delete\tDel",  // 34
    u"Remove all",  // 35
    u"Select all\tCtrl+A",  // 36
    u"Add files...\tAlt+A",  // 37
    u"New folder\tCtrl+D",  // 38
    u"Export Files",  // 39
    u"View",  // 40
    u"Toolbar",  // 41
    u"Statusbar",  // 42
    u"Language",  // 43
    u"Español",  // 44
    u"English",  // 45
    u"Burner",  // 46
    u"Select device...",  // 47
    u"Eject disc",  // 48
    u"Copy disc",  // 49
    u"Burn project",  // 50
    u"Burn image...",  // 51
    u"Erase rewritable disc...",  // 52
    u"Continue Multi-Session disc...",  // 53
    u"Disc information",  // 54
    u"Device information",  // 55
    u"Window",  // 56
    u"Next Window",  // 57
    u"Previous Window",  // 58
    u"Close Window",  // 59
    u"?",  // 60
    u"Help\tF1",  // 61
    u"About...",  // 62
    u"",  // 63
    u"Select device:",  // 64
    u"Method to use:",  // 65
    u"Quick erase",  // 66
    u"Full erase",  // 67
    u"Quick format",  // 68
    u"Full format",  // 69
    u"Continue with background format",  // 70
    u"Ellapsed Time: ",  // 71
    u"Remaining Time: ",  // 72
    u"Task manager",  // 73
    u"Kelvane options",  // 74
    u"Are you sure to stop the process?",  // 75
    u"Warning",  // 76
    u"This operation will erase all data in the disc\n\nAre you sure to continue?",  // 77
    u"Select image to burn...",  // 78
    u"Burn speed:",  // 79
    u"Burn method:",  // 80
    u"Mode 2 form 1",  // 81
    u"Finalize disc",  // 82
    u"Verify",  // 83
    u"Buffer Under Run Error protection",  // 84
    u"Information",  // 85
    u"Maximun",  // 86
    u"Auto Speed",  // 87
    u"All data in the disc will be erased",  // 88
    u"Insert an empty disc",  // 89
    u"Burn image",  // 90
    u"Size:",  // 91
    u"Sectors:",  // 92
    u"Label:",  // 93
    u"File system:",  // 94
    u"There is not enough space in disk",  // 95
    u"Memory cache:",  // 96
    u"Device cache:",  // 97
    u"Loading memory cache",  // 98
    u"Burning at ",  // 99
    u"Finished",  // 100
    u"Activate extra size",  // 101
    u"Closing track",  // 102
    u"Closing session",  // 103
    u"Finalizing the disc",  // 104
    u"Process completed",  // 105
    u"The process has failed",  // 106
    u"Verifying",  // 107
    u"Track at once",  // 108
    u"Disc/Session at once",  // 109
    u"Version:",  // 110
    u"Available space: ",  // 111
    u"Data overflow: ",  // 112
    u"New Folder",  // 113
    u"Folders:",  // 114
    u"Files:",  // 115
    u"Image information:",  // 116
    u"Selection information:",  // 117
    u"Saving",  // 118
    u"Error opening image",  // 119
    u"Label",  // 120
    u"Browse For Folder",  // 121
    u"Extracting files...",  // 122
    u"Already exist a directory with that name\nDo you want to continue?",  // 123
    u"Already exist a file with that name",  // 124
    u"Already exist a directory with that name",  // 125
    u"The file exists\nDo you want to overwrite it?",  // 126
    u"Error when creating file",  // 127
    u"Insert a disc in source device...",  // 128
    u"Source disc empty",  // 129
    u"Insert an empty disc in destination device",  // 130
    u"Select origin...",  // 131
    u"Select destination...",  // 132
    u"Direct copy",  // 133
    u"Insert a (Re)writable CD in the destination unit",  // 134
    u"Insert an emtpy or rewritable disc",  // 135
    u"Insert a (Re)writable disc in the unit",  // 136
    u"View Log",  // 137
    u"Data Project\tCopy your files in a Optic Disc or save it as an image of type ISO or type UDF.",  // 138
    u"Audio Project\tCreate an Audio CD from audio files of type wav, mp3, flac, ogg, etc.",  // 139
    u"Burn Image\tBurn existing ISO, UDF or CUE images from hard disk to an optical disc.",  // 140
    u"Copy Disc\tMake backup copies of your data or audio discs.",  // 141
    u"Erase Disc\tErase/Format a disc quickly/parcially or completely",  // 142
    u"Overburning can damage your drive, continue at your own risk!!!",  // 143
    u"Synchronizing cache",  // 144
    u"Writing Lead-In",  // 145
    u"Writing Lead-Out",  // 146
    u"Copy disc",  // 147
    u"Error when locking device: ",  // 148
    u"Copying to Hard Disk",  // 149
    u"Waiting for destination disc",  // 150
    u"Please, insert the destination disc",  // 151
    u"Waiting...",  // 152
    u"Error at origin disc",  // 153
    u"Error at destination disc",  // 154
    u"Not enough space on the destination disc",  // 155
    u"Destination disc needs a full erase (long process), Do you want to continue?",  // 156
    u"Insert a ",  // 157
    u"at destination",  // 158
    u"This application area is unstable and nonfunctional. The aim is to show the user as it is.",  // 159
    u"Online Help",  // 160
    u"Click here for read manuals and see the videos about the usage of Kelvane 0.6",  // 161
    u"https://www.vanto-software.example/kelvane/manual",  // 162
    u"Follow us",  // 163
    u"If you want to known when are available new versions of Kelvane or all what happen in VANTO SOFTWARE follow us on twitter.",  // 164
    u"https://www.vanto-software.example/kelvane/news",  // 165
    u"Device Information",  // 166
    u"Vendor identification:",  // 167
    u"Product identification:",  // 168
    u"Firmware version:",  // 169
    u"Vendor information:",  // 170
    u"Buffer capacity:",  // 171
    u"Serial number:",  // 172
    u"CD features",  // 173
    u"DVD features",  // 174
    u"Blu-Ray features",  // 175
    u"HD DVD features",  // 176
    u"Other features",  // 177
    u"Read only",  // 178
    u"Read/Write",  // 179
    u"Disc Information",  // 180
    u"Name:",  // 181
    u"Profile:",  // 182
    u"Status:",  // 183
    u"Empty",  // 184
    u"Incomplete",  // 185
    u"Finalized",  // 186
    u"State of last session:",  // 187
    u"Damaged",  // 188
    u"Complete",  // 189
    u"Erasable:",  // 190
    u"Tracks:",  // 191
    u"Sessions:",  // 192
    u"Size in sectors:",  // 193
    u"Available size in sectors:",  // 194
    u"Track information",  // 195
    u"Session",  // 196
    u"Track",  // 197
    u"Type:",  // 198
    u"Data",  // 199
    u"Audio",  // 200
    u"Previous pause:",  // 201
    u"Length:",  // 202
    u"File:",  // 203
    u"Drag or copy files HERE",  // 204
    u" - Time:",  // 205
    u"Burn Audio CD",  // 206
};

const wchar16* const kSpanishTexts[kUiStringCount] = {
    u"Aceptar",  // 0
    u"Cancelar",  // 1
    u"Si",  // 2
    u"No",  // 3
    u"Reintentar",  // 4
    u"Ignorar",  // 5
    u"Abortar",  // 6
    u"Error",  // 7
    u"¡Atención!",  // 8
    u"Continuar",  // 9
    u"No preguntar de nuevo",  // 10
    u"Escritorio",  // 11
    u"Mis documentos",  // 12
    u"Mi PC",  // 13
    u"Mis sitios de red",  // 14
    u"Iconos",  // 15
    u"Lista",  // 16
    u"Lista grande",  // 17
    u"Detalles",  // 18
    u"Archivo",  // 19
    u"Nuevo proyecto",  // 20
    u"Datos\tCtrl+N",  // 21
    u"Audio CD",  // 22
    u"Abrir\tCtrl+A",  // 23
    u"Guardar\tCtrl+G",  // 24
    u"Guardar como...",  // 25
    u"Guardar imagen",  // 26
    u"Salir\tAlt+F4",  // 27
    u"Edición",  // 28
    u"Deshacer\tCtrl+Z",  // 29
    u"Rehacer\tCtrl+Y",  // 30
    u"Cortar\tCtrl+X",  // 31
    u"Copiar\tCtrl+C",  // 32
    u"Pegar\tCtrl+V",  // 33
    u"Eliminar\tSupr",  // 34
    u"Quitar todo",  // 35
    u"Seleccionar todo\tCtrl+E",  // 36
    u"Añadir archivos...\tAlt+A",  // 37
    u"Nueva carpeta\tCtrl+D",  // 38
    u"Exportar archivos",  // 39
    u"Ver",  // 40
    u"Barra de herramientas",  // 41
    u"Barra de Estado",  // 42
    u"Lenguaje",  // 43
    u"Español",  // 44
    u"English",  // 45
    u"Grabadora",  // 46
    u"Seleccionar Grabadora...",  // 47
    u"Abrir/Cerrar bandeja",  // 48
    u"Copiar disco",  // 49
    u"Grabar proyecto",  // 50
    u"Grabar imagen...",  // 51
    u"Borrar disco regrabable...",  // 52
    u"Continuar disco Multi-Sesión...",  // 53
    u"Información de disco",  // 54
    u"Información de unidad",  // 55
    u"Ventana",  // 56
    u"Ventana Siguiente\tCtrl+Tab",  // 57
    u"Ventana Anterior\tCtrl+Mayús+Tab",  // 58
    u"Cerrar Ventana\tCtrl+F4",  // 59
    u"?",  // 60
    u"Ayuda\tF1",  // 61
    u"Acerca de...",  // 62
    u"",  // 63
    u"Seleccionar dispositivo:",  // 64
    u"Método a usar:",  // 65
    u"Borrado rápido",  // 66
    u"Borrado completo",  // 67
    u"Formato rápido",  // 68
    u"Formato completo",  // 69
    u"Continuar formato en segundo plano",  // 70
    u"Tiempo Transcurrido: ",  // 71
    u"Tiempo restante: ",  // 72
    u"Administrador de trabajos",  // 73
    u"Opciones de Kelvane",  // 74
    u"¿Estás seguro de parar el proceso?",  // 75
    u"¡Atención!",  // 76
    u"Esta operación borrará todos los datos del disco\n\n¿Seguro que desea continuar?",  // 77
    u"Seleccionar imagen a grabar...",  // 78
    u"Velocidad de grabación:",  // 79
    u"Método de grabación:",  // 80
    u"Mode 2 form 1",  // 81
    u"Finalizar disco",  // 82
    u"Verificar",  // 83
    u"Protección contra insuficiencia de datos",  // 84
    u"Información",  // 85
    u"Máxima",  // 86
    u"Velocidad automática",  // 87
    u"El contenido actual del disco será eliminado",  // 88
    u"Inserte un disco vacio",  // 89
    u"Grabar imagen",  // 90
    u"Tamaño:",  // 91
    u"Sectores:",  // 92
    u"Etiqueta:",  // 93
    u"Sistema de archivos:",  // 94
    u"No hay espacio suficiente en disco",  // 95
    u"Caché de memoria:",  // 96
    u"Caché del dispositivo:",  // 97
    u"Cargando la caché de memoria",  // 98
    u"Grabando a",  // 99
    u"Terminado",  // 100
    u"Activar tamaño extra",  // 101
    u"Cerrando pista",  // 102
    u"Cerrando sesión",  // 103
    u"Finalizando el disco",  // 104
    u"Proceso completado",  // 105
    u"El proceso ha fallado",  // 106
    u"Verificando",  // 107
    u"Track at once",  // 108
    u"Disc/Session at once",  // 109
    u"Versión:",  // 110
    u"Espacio disponible: ",  // 111
    u"Exceso de datos: ",  // 112
    u"Nueva carpeta",  // 113
    u"Carpetas:",  // 114
    u"Archivos:",  // 115
    u"Información de la imagen:",  // 116
    u"Información de la selección:",  // 117
    u"Guardando",  // 118
    u"Error al abrir la imagen",  // 119
    u"Etiqueta",  // 120
    u"Buscar carpeta",  // 121
    u"Extrayendo ficheros...",  // 122
    u"Ya existe un directorio con ese nombre\n¿Desea continuar?",  // 123
    u"Ya existe un archivo con ese nombre",  // 124
    u"Ya existe un directorio con ese nombre",  // 125
    u"El archivo ya existe\n¿Desea sobrescribirlo?",  // 126
    u"Error al crear el archivo",  // 127
    u"Insertar disco en la unidad de Origen...",  // 128
    u"Disco de origen vacio",  // 129
    u"Inserte un disco vacío en el dispositivo de destino",  // 130
    u"Seleccionar origen...",  // 131
    u"Seleccionar destino...",  // 132
    u"Copia directa",  // 133
    u"Insertar un CD (Re)grabable en la unidad de destino",  // 134
    u"Insertar un disco vacio o regrabable",  // 135
    u"Insertar un disco (re)grabable en la unidad",  // 136
    u"Ver Log",  // 137
    u"Proyecto de datos\tCopie sus archivos en un disco óptico o guárdelos como una imagen de tipo ISO o de tipo UDF.",  // 138
    u"Proyecto de audio\tCree un CD de audio a partir de archivos de audio de tipo wav, mp3, flac, ogg, etc.",  // 139
    u"Grabar imagen\tGrabe imágenes ISO, UDF o CUE existentes del disco duro a un disco óptico.",  // 140
    u"Copiar disco\tHaga copias de seguridad de sus discos de datos o de audio.",  // 141
    u"Borrar disco\tBorre o formatee un disco de forma rápida/parcial o completa",  // 142
    u"Superar la capacidad de grabación puede dañar la grabadora, ¡continua bajo tu responsabilidad!",  // 143
    u"Sincronizando la caché",  // 144
    u"Escribiendo el Lead-In",  // 145
    u"Escribiendo el Lead-Out",  // 146
    u"Copiar disco",  // 147
    u"Error al bloquear el dispositivo: ",  // 148
    u"Copiando al disco duro",  // 149
    u"Esperando por el disco de destino",  // 150
    u"Por favor, inserta el disco de destino",  // 151
    u"Esperando...",  // 152
    u"Error en disco origen",  // 153
    u"Error en el disco de destino",  // 154
    u"No hay suficiente espacio en el disco de destino",  // 155
    u"El disco de destino necesita un borrado completo (proceso largo), ¿Desea continuar?",  // 156
    u"Insertar un ",  // 157
    u"en destino",  // 158
    u"Esta zona de la aplicación es inestable, y no funcional. El objetivo es mostrar al usuario como será.",  // 159
    u"Ayuda en línea",  // 160
    u"Haga clic aquí para leer los manuales y ver los vídeos sobre el uso de Kelvane 0.6",  // 161
    u"https://www.vanto-software.example/es/kelvane/manual",  // 162
    u"Síganos",  // 163
    u"Si quiere saber cuándo hay nuevas versiones de Kelvane o todo lo que ocurre en VANTO SOFTWARE, síganos en twitter.",  // 164
    u"https://www.vanto-software.example/es/kelvane/news",  // 165
    u"Información del dispositivo",  // 166
    u"Indentificación de vendedor:",  // 167
    u"Identificación de producto:",  // 168
    u"Versión de firmware",  // 169
    u"Información de vendedor:",  // 170
    u"Tamaño de buffer:",  // 171
    u"Número de serie:",  // 172
    u"Características CD",  // 173
    u"Características DVD",  // 174
    u"Características Blu-Ray",  // 175
    u"Características HD DVD",  // 176
    u"Otras características",  // 177
    u"Sólo lectura",  // 178
    u"Lectura/Escritura",  // 179
    u"Información de disco",  // 180
    u"Nombre:",  // 181
    u"Perfil:",  // 182
    u"Estado:",  // 183
    u"Vacío",  // 184
    u"Incompleto",  // 185
    u"Finalizado",  // 186
    u"Estado de la última sesión:",  // 187
    u"Dañado",  // 188
    u"Completo",  // 189
    u"Borrable:",  // 190
    u"Pistas:",  // 191
    u"Sesiones:",  // 192
    u"Tamaño en sectores:",  // 193
    u"Tamaño disponible en sectores:",  // 194
    u"Información de la pista",  // 195
    u"Sesión",  // 196
    u"Pista",  // 197
    u"Tipo:",  // 198
    u"Datos",  // 199
    u"Audio",  // 200
    u"Pausa anterior:",  // 201
    u"Duración:",  // 202
    u"Archivo:",  // 203
    u"Arrastrar o copiar archivos AQUI",  // 204
    u"- Duración:",  // 205
    u"Grabar CD de audio",  // 206
};

constexpr u32 MeasureText(const wchar16* text) {
  u32 n = 0;
  while (text[n] != 0) ++n;
  return n;
}

typedef std::array<UiString, kUiStringCount> Table;

template <std::size_t... I>
constexpr Table BuildTable(const wchar16* const (&texts)[kUiStringCount],
                           std::index_sequence<I...>) {
  return Table{{{texts[I], MeasureText(texts[I])}...}};
}

// Lengths are already right at load time, so texts are usable before the
// initialisers run; the initialisers measure them again with the program's
// own bounded routine.
Table g_english = BuildTable(kEnglishTexts, std::make_index_sequence<kUiStringCount>());
Table g_spanish = BuildTable(kSpanishTexts, std::make_index_sequence<kUiStringCount>());

const UiString kBadString = {u"Bad String", 10};

const UiString* g_tables[kLanguageSlots] = {
    nullptr, g_english.data(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    g_spanish.data(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

u32 g_currentLanguage = kLanguageEnglish;

const UiString* TableOf(u32 languageId) {
  return languageId < kLanguageSlots ? g_tables[languageId] : nullptr;
}

void MeasureTable(Table* table) {
  for (UiString& entry : *table) {
    i32 n = GetStringLength(entry.text, kTextCap);
    entry.length = n > 0 ? static_cast<u32>(n) : 0;
  }
}

}  // namespace

const UiString* GetUiString(u32 id) {
  if (id >= kUiStringCount) return &kBadString;
  const UiString* table = TableOf(g_currentLanguage);
  if (table && table[id].text) return &table[id];
  table = TableOf(kLanguageEnglish);
  if (table && table[id].text) return &table[id];
  return &kBadString;
}

const wchar16* GetUiText(u32 id) { return GetUiString(id)->text; }

u32 GetCurrentLanguage() { return g_currentLanguage; }

bool SetCurrentLanguage(u32 languageId) {
  if (!TableOf(languageId)) return false;
  g_currentLanguage = languageId;
  return true;
}

bool InstallLanguageTable(u32 languageId, const UiString* table) {
  if (languageId >= kLanguageSlots) return false;
  g_tables[languageId] = table;
  return true;
}

const UiString* GetEnglishTable() { return g_english.data(); }
const UiString* GetSpanishTable() { return g_spanish.data(); }

void InitEnglishStrings() { MeasureTable(&g_english); }
void InitSpanishStrings() { MeasureTable(&g_spanish); }

void InstallBuiltInLanguages() {
  InstallLanguageTable(kLanguageEnglish, g_english.data());
  InstallLanguageTable(kLanguageSpanish, g_spanish.data());
}

const wchar16* PickText(const BilingualText& text) {
  return GetCurrentLanguage() == kLanguageSpanish ? text.spanish : text.english;
}

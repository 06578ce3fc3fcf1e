// Reads arbitrary bytes as an online catalog reply, for each catalog and
// colour band, then selects a field from whatever was read, with and
// without proper motion. No crash, no read past a line, no undefined
// behaviour, whatever the service sends.
#include <cstddef>
#include <cstdint>
#include <string>

#include "astrometry/OnlineCatalog.h"
#include "platform/scripted/ScriptedPlatform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hv::ScriptedPlatform platform([](const std::string&) {});
  hv::OptsRec settings;
  settings.StarCatalog = size % 2 == 0 ? hv::CatalogCode::NOMAD : hv::CatalogCode::USNOB1;
  hv::B1CatObj cat(platform, settings, std::make_unique<hv::CurlHttpClient>());
  cat.SetCatalog(settings.StarCatalog);
  cat.CachedParms.Color = static_cast<std::uint8_t>(size > 0 ? data[0] % 7 : 2);
  cat.Reply.assign(reinterpret_cast<const char*>(data), size);
  (void)cat.ProcessReply();

  hv::FieldBoxRec box;
  box.RAMin = size > 1 ? data[1] % 25 : 0;
  box.RAMax = size > 2 ? data[2] % 25 : 24;
  box.DecMin = -90;
  box.DecMax = 90;
  box.MagLimit = 30;
  for (const long double years : {0.0L, size > 3 ? data[3] * 7.5L - 960.0L : 10.0L}) {
    cat.Years = years;
    (void)cat.SelectField(box);
  }
  return 0;
}

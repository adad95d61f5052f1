#include "app/pages/job_page_texts.h"

#include "jobs/job_page.h"
#include "runtime/ui_strings.h"

bool StatusShowsDriveProgress(u32 status) {
  switch (status) {
    case kStatusClosingTrack:
    case kStatusClosingSession:
    case kStatusFinalizing:
    case kStatusSyncCache:
    case kStatusLeadIn:
    case kStatusLeadOut:
    case kStatusQuickErase:
    case kStatusFullErase:
    case kStatusQuickFormat:
      return true;
    default:
      return false;
  }
}

void AppendSpeedFactor(CWideString* out, u32 measuredKbs, u32 unitKbs) {
  if (unitKbs == 0) {
    out->AppendChar(u'0');
    return;
  }
  // Tenths rounded half up, in 64 bits so no speed overflows.
  const u64 tenths = (static_cast<u64>(measuredKbs) * 20 + unitKbs) / (2ull * unitKbs);
  out->AppendUInt64(tenths / 10);
  if (tenths % 10) {
    out->AppendChar(u'.');
    out->AppendUInt(static_cast<u32>(tenths % 10));
  }
}

void BuildBurnStatusLine(CWideString* out, const BurnStatusFigures& f) {
  out->Assign(u"");
  if (f.status == kStatusNone) return;
  out->Append(GetUiText(f.status));
  if (f.status == kStatusFinished) return;
  if (f.status == kStatusBurning && f.speedFactor != 0) {
    out->Append(u" ");
    out->AppendUInt(f.speedFactor);
    out->Append(u"x (");
    out->AppendUInt(f.writeKbs);
    out->Append(u"Kb/s)");
  }
  if (StatusShowsDriveProgress(f.status) && f.percent >= 0) {
    out->Append(u" (");
    out->AppendInt(f.percent > 100 ? 100 : f.percent);
    out->Append(u"%)");
  }
  if (f.measuredKbs != 0) {
    out->Append(u" - ");
    AppendSpeedFactor(out, f.measuredKbs, f.unitKbs);
    out->Append(u"x (");
    out->AppendUInt(f.measuredKbs);
    out->Append(u"Kb/s)");
  }
  for (u64 dots = f.elapsedSeconds % 4; dots; --dots) out->AppendChar(u'.');
}

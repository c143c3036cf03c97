#pragma once

#include "displaylist.h"
#include "sliptexts.h"

namespace fx::report::test {

// A loan of a notebook until the end of the year; the card's values carry stray blanks, which
// the slip trims.
LoanSlipData sampleLoan();
// A projector moved from one room and custodian to another.
TransferSlipData sampleTransfer();
// `count` assets moved to the library, each third one without a model.
BatchTransferData sampleBatch(int count);

// A slip laid out as it prints, on the tests' fixed date.
Document layOutSlip(const SlipTexts& texts);

}  // namespace fx::report::test

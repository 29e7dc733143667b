// Checks the tests of the picture-shaped demonstration windows share.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include "Forms.h"
#include "nvimageform.h"

// Every visible control of the window lies inside its outline (corners
// taken 6 pixels in, for rounded pictures).
inline void ExpectControlsInsideTheOutline(TForm* Form)
{
    for (int I = 0; I < Form->ControlCount(); ++I) {
        TControl* C = Form->Controls(I);
        if (!C->Visible() || dynamic_cast<TnvImageForm*>(C))
            continue;
        const int In = std::min({6, C->Width() / 2, C->Height() / 2});
        for (const QPoint P : {QPoint(C->Left() + In, C->Top() + In), QPoint(C->Left() + C->Width() - 1 - In, C->Top() + In),
                               QPoint(C->Left() + In, C->Top() + C->Height() - 1 - In),
                               QPoint(C->Left() + C->Width() - 1 - In, C->Top() + C->Height() - 1 - In)})
            EXPECT_TRUE(Form->WindowRegion().contains(P)) << C->Name() << " at " << P.x() << "," << P.y();
    }
}

#include "framework/controls.h"

#include <utility>

bool CImageList::Create(int width, int height, UINT flags, int initial, int grow)
{
    DeleteImageList();
    m_hImageList = ::ImageList_Create(width, height, flags, initial, grow);
    return m_hImageList != nullptr;
}

void CImageList::DeleteImageList()
{
    if (m_hImageList != nullptr)
        ::ImageList_Destroy(std::exchange(m_hImageList, nullptr));
}

#include "RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace BPrivate {

bool
ReadRegularFile(const std::string& path, off_t largest, std::string* content)
{
	int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
	if (fd < 0)
		return false;
	struct stat info;
	bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= largest;
	if (ok) {
		content->resize((size_t)info.st_size);
		size_t done = 0;
		while (done < content->size()) {
			ssize_t got = read(fd, content->data() + done, content->size() - done);
			if (got <= 0) {
				ok = false;
				break;
			}
			done += (size_t)got;
		}
	}
	close(fd);
	return ok;
}

} // namespace BPrivate

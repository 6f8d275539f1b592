void vrel__main() {
int vrel__x;
int vrel__y;
if ((vrel__x == 1 || vrel__y == 2 )&& vrel__x == 3 ) {
}
if (1 && (0 || 1 )) {
}
if (1 && 0 || 0 || 1 ) {
}
if (1 && 0 && !(0 || 1 )) {
}

}
int main() {
	vrel__main();
}



void vrel__main() {
if (1 ) {
}

}
int main() {
	vrel__main();
}


